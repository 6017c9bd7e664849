#include "child_task.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "imaging/temporary_paths.h"

namespace mireo::cli {

pid_t forkChild(const std::function<void()>& body) {
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t pid = ::fork();
    if (pid < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (pid > 0) {
        imaging::TemporaryPaths::addChild(pid);
        return pid;
    }
    imaging::TemporaryPaths::forgetChildren();
    try {
        body();
    } catch (...) {
        ::_exit(1);
    }
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(0);
}

}  // namespace mireo::cli
