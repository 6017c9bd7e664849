#include "standard_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "imaging/replacement_file.h"

namespace mireo::cli {

namespace {

[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

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

void copyToStandardOutput(const std::filesystem::path& file) { imaging::copyFileInto(file, STDOUT_FILENO); }

}  // namespace mireo::cli
