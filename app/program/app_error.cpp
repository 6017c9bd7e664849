#include "program/app_error.h"

#include <cerrno>

AppError ErrorFromErrno(int number) {
    switch (number) {
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return {61, QStringLiteral("Disk full")};
    case EACCES:
    case EPERM:
    case EROFS: return {70, QStringLiteral("Permission denied")};
    case ENOENT:
    case ENOTDIR: return {76, QStringLiteral("Path not found")};
    case EIO: return {57, QStringLiteral("Device I/O error")};
    default: return {kErrPathFileAccess, QStringLiteral("Path/File access error")};
    }
}
