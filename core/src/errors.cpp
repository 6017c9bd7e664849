#include "errors.h"

#include <cerrno>

namespace mireo {

const char* errorDescription(int number) {
    switch (number) {
    case kInvalidCall: return "Invalid procedure call or argument";
    case kOverflow: return "Overflow";
    case kOutOfMemory: return "Out of memory";
    case kSubscriptOutOfRange: return "Subscript out of range";
    case kDivisionByZero: return "Division by zero";
    case kBadFileName: return "Bad file name or number";
    case kFileNotFound: return "File not found";
    case kDeviceIoError: return "Device I/O error";
    case kDiskFull: return "Disk full";
    case kInputPastEnd: return "Input past end of file";
    case kPermissionDenied: return "Permission denied";
    case kPathFileAccessError: return "Path/File access error";
    case kPathNotFound: return "Path not found";
    default: return "Application-defined or object-defined error";
    }
}

void raise(int number, std::string detail) {
    throw RuntimeError{number, std::move(detail)};
}

int errorFromErrno(int err) {
    switch (err) {
    case ENOENT: return kPathNotFound;
    case ENOTDIR: return kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return kPermissionDenied;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return kDiskFull;
    case ENOMEM: return kOutOfMemory;
    case ENAMETOOLONG:
    case EINVAL: return kBadFileName;
    case EISDIR:
    case EEXIST:
    case EBUSY:
    case ETXTBSY: return kPathFileAccessError;
    default: return kDeviceIoError;
    }
}

std::string formatError(int number) {
    std::string text = number >= 0 ? " " : "";
    text += std::to_string(number);
    text += " - ";
    text += errorDescription(number);
    return text;
}

}  // namespace mireo
