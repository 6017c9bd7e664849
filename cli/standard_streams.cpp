#include "standard_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace mireo::cli {

namespace {

[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail("standard output");
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace

QByteArray readStandardInput() {
    QByteArray bytes;
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail("standard input");
        if (n == 0) return bytes;
        bytes.append(chunk, n);
    }
}

bool standardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

bool isStandardOutput(const std::string& path) {
    if (path == "-") return true;
    struct stat named, out;
    return ::stat(path.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 && named.st_dev == out.st_dev &&
           named.st_ino == out.st_ino;
}

void copyToStandardOutput(const std::filesystem::path& file) {
    int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) fail(file.c_str());
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(in, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int error = errno;
            ::close(in);
            if (n < 0) throw std::system_error(error, std::generic_category(), file.string());
            return;
        }
        try {
            writeAll(STDOUT_FILENO, chunk, static_cast<std::size_t>(n));
        } catch (...) {
            ::close(in);
            throw;
        }
    }
}

}  // namespace mireo::cli
