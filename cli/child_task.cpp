#include "child_task.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "imaging/temporary_paths.h"
#include "pipe_io.h"

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

ChildTask::ChildTask(const std::function<Outcome()>& work) {
    int ends[2];
    if (::pipe(ends) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    try {
        pid_ = forkChild([&] {
            ::close(ends[0]);
            Outcome outcome;
            try {
                outcome = work();
            } catch (const std::exception& error) {
                outcome = Outcome{false, 0, {error.what()}, {}};
            }
            writeAll(ends[1], encodeOutcome(outcome));
        });
    } catch (...) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw;
    }
    ::close(ends[1]);
    pipe_ = ends[0];
}

ChildTask::~ChildTask() {
    if (pipe_ >= 0) ::close(pipe_);
    if (pid_ > 0) waitForChild(pid_);
}

Outcome ChildTask::finish() {
    std::string received;
    while (readChunk(pipe_, received) > 0) {
    }
    ::close(pipe_);
    pipe_ = -1;
    int status = waitForChild(pid_);
    pid_ = -1;
    std::optional<Outcome> outcome = decodeOutcome(received);
    if (outcome && WIFEXITED(status) && WEXITSTATUS(status) == 0) return *outcome;
    return Outcome{false, 0, {abnormalEndMessage(status)}, {}};
}

}  // namespace mireo::cli
