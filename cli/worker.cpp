#include "worker.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "child_task.h"
#include "pipe_io.h"

namespace mireo::cli {

namespace {

std::string lengthPrefix(std::size_t length) {
    std::string prefix;
    for (int i = 0; i < 4; ++i) prefix += static_cast<char>(length >> (8 * i) & 0xFF);
    return prefix;
}

std::size_t lengthIn(const std::string& bytes) {
    std::size_t length = 0;
    for (int i = 3; i >= 0; --i) length = length << 8 | static_cast<uint8_t>(bytes[static_cast<std::size_t>(i)]);
    return length;
}

// The worker's side: job numbers in, framed outcomes out, until the parent
// closes the job pipe.
void serve(const std::function<Outcome(std::size_t)>& work, int jobs, int results) {
    std::string pending;
    for (;;) {
        while (pending.size() < 4)
            if (readChunk(jobs, pending) <= 0) return;
        const std::size_t index = lengthIn(pending);
        pending.erase(0, 4);
        Outcome outcome;
        try {
            outcome = work(index);
        } catch (const std::exception& error) {
            outcome = Outcome{false, 0, {error.what()}, {}};
        }
        std::string encoded = encodeOutcome(outcome);
        if (!writeAll(results, lengthPrefix(encoded.size()) + encoded)) return;
    }
}

void closeBoth(int ends[2]) {
    ::close(ends[0]);
    ::close(ends[1]);
}

}  // namespace

Worker::Worker(const std::function<Outcome(std::size_t)>& work, const std::vector<int>& othersEnds) {
    int toWorker[2], fromWorker[2];
    if (::pipe(toWorker) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    if (::pipe(fromWorker) != 0) {
        closeBoth(toWorker);
        throw std::system_error(errno, std::generic_category(), "pipe");
    }
    try {
        pid_ = forkChild([&] {
            ::close(toWorker[1]);
            ::close(fromWorker[0]);
            for (int end : othersEnds) ::close(end);
            serve(work, toWorker[0], fromWorker[1]);
        });
    } catch (...) {
        closeBoth(toWorker);
        closeBoth(fromWorker);
        throw;
    }
    ::close(toWorker[0]);
    ::close(fromWorker[1]);
    jobs_ = toWorker[1];
    results_ = fromWorker[0];
}

Worker::~Worker() {
    if (jobs_ >= 0) ::close(jobs_);
    if (results_ >= 0) ::close(results_);
    if (pid_ > 0) waitForChild(pid_);
}

bool Worker::give(std::size_t index) {
    current_ = index;
    return writeAll(jobs_, lengthPrefix(index));
}

std::optional<Outcome> Worker::takeFramed() {
    if (received_.size() < 4) return std::nullopt;
    const std::size_t length = lengthIn(received_);
    if (received_.size() - 4 < length) return std::nullopt;
    std::optional<Outcome> outcome = decodeOutcome(received_.substr(4, length));
    received_.erase(0, 4 + length);
    current_.reset();
    return outcome ? outcome : Outcome{false, 0, {"The worker sent a damaged report."}, {}};
}

std::optional<Outcome> Worker::receive() {
    if (readChunk(results_, received_) > 0) return takeFramed();
    return reap();
}

// The worker ended (its end of the result pipe closed): a crash or a kill
// fails the input it had.
Outcome Worker::reap() {
    ::close(jobs_);
    ::close(results_);
    jobs_ = results_ = -1;
    int status = waitForChild(pid_);
    pid_ = -1;
    current_.reset();
    return Outcome{false, 0, {abnormalEndMessage(status)}, {}};
}

}  // namespace mireo::cli
