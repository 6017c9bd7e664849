// Run-time errors of the library, numbered as the messages expect them.
#pragma once

#include <string>

namespace mireo {

enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kDivisionByZero = 11,
    kBadFileName = 52,
    kFileNotFound = 53,
    kDeviceIoError = 57,
    kDiskFull = 61,
    kInputPastEnd = 62,
    kPermissionDenied = 70,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
};

// The description that belongs to an error number ("Path not found").
const char* errorDescription(int number);

// Thrown by every internal step; caught by the export (or step) that owns
// the message.  `detail` is for diagnostics only and never shown.
struct RuntimeError {
    int number;
    std::string detail;
};

[[noreturn]] void raise(int number, std::string detail = {});

// The error number that an errno value stands for.
int errorFromErrno(int err);

// " 76 - Path not found": the number with its leading blank when not
// negative, " - " and the description.
std::string formatError(int number);

}  // namespace mireo
