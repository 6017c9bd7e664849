// A child process that does one piece of work and ends.
#pragma once

#include <sys/types.h>

#include <functional>

namespace mireo::cli {

// Forks; in the child runs `body` and ends it with _exit, so that neither
// the parent's exit handlers nor its buffered output run twice.  Returns
// the child's id to the parent; throws std::system_error.
pid_t forkChild(const std::function<void()>& body);

}  // namespace mireo::cli
