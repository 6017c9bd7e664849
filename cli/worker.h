// One worker process of a parallel batch and the two pipes to it: job
// numbers go in, framed Outcomes (length, then the encoded outcome) come
// back.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "outcome.h"

namespace mireo::cli {

class Worker {
public:
    // Starts the process; throws std::system_error when it cannot.  The
    // child closes `othersEnds` (the pipes to the other workers), so that
    // each worker sees the end of its own job pipe when the parent closes it.
    Worker(const std::function<Outcome(std::size_t)>& work, const std::vector<int>& othersEnds);
    ~Worker();  // ends the worker's input and waits for it
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Hands over job `index`; false when the worker is gone.
    bool give(std::size_t index);
    std::optional<std::size_t> current() const { return current_; }
    int resultEnd() const { return results_; }
    int jobEnd() const { return jobs_; }

    // Reads what the worker sent.  Returns the outcome of its current job
    // once complete; when the worker has ended instead, the failure that
    // says how, and the worker is gone (alive() false).
    std::optional<Outcome> receive();
    bool alive() const { return pid_ > 0; }

private:
    std::optional<Outcome> takeFramed();
    Outcome reap();

    pid_t pid_ = -1;
    int jobs_ = -1, results_ = -1;
    std::optional<std::size_t> current_;
    std::string received_;
};

}  // namespace mireo::cli
