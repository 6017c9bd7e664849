#include "pipe_io.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "imaging/temporary_paths.h"

namespace mireo::cli {

bool writeAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

long readChunk(int fd, std::string& into) {
    char chunk[4096];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) into.append(chunk, static_cast<std::size_t>(n));
        return static_cast<long>(n);
    }
}

int waitForChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) break;
    imaging::TemporaryPaths::removeChild(pid);
    return status;
}

std::string abnormalEndMessage(int waitStatus) {
    if (WIFSIGNALED(waitStatus)) {
        int signal = WTERMSIG(waitStatus);
        return "The conversion was stopped by signal " + std::to_string(signal) + " (" + strsignal(signal) + ").";
    }
    return "The conversion ended without a result (exit status " + std::to_string(WEXITSTATUS(waitStatus)) + ").";
}

}  // namespace mireo::cli
