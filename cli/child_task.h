// One piece of work in a child process of its own.  The library keeps its
// buffers and its window-system table for the whole process, so work done
// at the same time never shares a process: the child starts as a copy of
// the caller, does the work, sends the Outcome back over a pipe and ends.
// A child that crashes or is killed gives an Outcome that says so.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

#include "outcome.h"

namespace mireo::cli {

class ChildTask {
public:
    // Starts `work` in a new process; throws std::system_error when no
    // process can be made.  The caller's buffered output is flushed first,
    // so that the child does not write it a second time.
    explicit ChildTask(const std::function<Outcome()>& work);
    ~ChildTask();  // waits for a child that was not finished
    ChildTask(const ChildTask&) = delete;
    ChildTask& operator=(const ChildTask&) = delete;

    // Reads to the end, reaps the child and returns its Outcome.
    Outcome finish();

private:
    pid_t pid_ = -1;
    int pipe_ = -1;
};

// Forks; in the child runs `body` and ends it with _exit, so that neither
// the parent's exit handlers nor its buffered output run twice.  Returns
// the child's id to the parent; throws std::system_error.
pid_t forkChild(const std::function<void()>& body);

}  // namespace mireo::cli
