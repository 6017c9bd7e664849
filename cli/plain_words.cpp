#include "plain_words.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <regex>

#include "errors.h"

namespace mireo::cli {

namespace {

// The library says "disk full" for both.
bool fileSizeLimited() {
    struct rlimit limit;
    return ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

}  // namespace

std::string libraryErrorWords(int number) {
    switch (number) {
        case kPermissionDenied: return "permission denied";
        case kDiskFull: return fileSizeLimited() ? "disk full, or the file size limit (ulimit -f) reached" : "disk full";
        case kPathFileAccessError: return "it is a folder or cannot be replaced";
        case kPathNotFound: return "the folder does not exist";
        case kFileNotFound: return "no such file";
        case kBadFileName: return "bad file name";
        case kDeviceIoError: return "input/output error";
        case kOutOfMemory: return "not enough memory";
        case kInputPastEnd: return "the file ends too early";
    }
    return inLine(errorDescription(number));
}

std::optional<int> libraryErrorNumber(const std::string& message) {
    static const std::regex numbered(R"(\s(-?\d+) - [^\r\n]*$)");
    std::smatch match;
    if (!std::regex_search(message, match, numbered)) return std::nullopt;
    try {
        return std::stoi(match[1].str());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string libraryFailureWords(const std::vector<std::string>& messages, const std::string& fallback) {
    for (const std::string& message : messages)
        if (std::optional<int> number = libraryErrorNumber(message)) return libraryErrorWords(*number);
    return messages.empty() ? fallback : inLine(messages.front());
}

std::string systemErrorWords(const std::error_code& error) {
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        switch (error.value()) {
            case EACCES:
            case EPERM: return "permission denied";
            case EROFS: return "the file system is read-only";
            case ENOSPC:
            case EDQUOT: return "disk full";
            case EFBIG: return "the file size limit is reached";
            case EISDIR: return "is a folder";
            case ENOENT: return "no such file or folder";
            case ENOTDIR: return "a part of the path is not a folder";
            case ENAMETOOLONG: return "the name is too long";
            case EIO: return "input/output error";
            case EPIPE: return "the reader has gone";
        }
    }
    return inLine(error.message());
}

std::optional<std::string> unreadableInput(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return systemErrorWords({errno, std::generic_category()});
    if (S_ISDIR(st.st_mode)) return "is a folder";
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return "cannot be read: " + systemErrorWords({errno, std::generic_category()});
    ::close(fd);
    return std::nullopt;
}

std::string inLine(std::string reason) {
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
    // Only a capital that begins an ordinary word is made small ("JPEG" stays).
    if (reason.size() > 1 && std::isupper(static_cast<unsigned char>(reason[0])) &&
        std::islower(static_cast<unsigned char>(reason[1])))
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return reason;
}

}  // namespace mireo::cli
