// The error convention of every export and step: run the body, and turn any
// run-time error into one message box of the step's own text.
#pragma once

#include <new>
#include <stdexcept>
#include <string>

#include "errors.h"
#include "window_system.h"

namespace mireo {

// The error number that an escaping exception stands for.
int errorNumberOf(std::exception_ptr error);

// Runs `body`; on a run-time error shows `prefix` followed by the formatted
// error (or `prefix` alone when `withNumber` is false).  Returns true when
// the body ran to its end.  Cleanup belongs in destructors of the body's
// objects, which run before the message is shown.
template <class Body>
bool guarded(const std::string& prefix, Body&& body, bool withNumber = true) {
    try {
        body();
        return true;
    } catch (...) {
        int number = errorNumberOf(std::current_exception());
        showMessage(withNumber ? prefix + formatError(number) : prefix);
        return false;
    }
}

}  // namespace mireo
