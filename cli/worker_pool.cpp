#include "worker_pool.h"

#include <poll.h>

#include <cerrno>
#include <csignal>
#include <memory>
#include <set>
#include <system_error>

#include "worker.h"

namespace mireo::cli {

namespace {

// A worker that dies while the parent writes to it must not end the parent.
class PipeSignalIgnored {
public:
    PipeSignalIgnored() : previous_(std::signal(SIGPIPE, SIG_IGN)) {}
    ~PipeSignalIgnored() { std::signal(SIGPIPE, previous_); }
    PipeSignalIgnored(const PipeSignalIgnored&) = delete;
    PipeSignalIgnored& operator=(const PipeSignalIgnored&) = delete;

private:
    void (*previous_)(int);
};

class Pool {
public:
    Pool(std::size_t count, std::size_t processes, const std::function<Outcome(std::size_t)>& work,
         const std::function<void(std::size_t, const Outcome&)>& done)
        : count_(count), processes_(processes), work_(work), done_(done) {}

    void run() {
        while (next_ < count_ || busy() > 0) {
            handOut();
            if (busy() > 0) collect();
        }
    }

private:
    std::size_t busy() const {
        std::size_t n = 0;
        for (const auto& w : workers_) n += w->current() ? 1 : 0;
        return n;
    }

    // Gives each free worker the next input, starting workers as needed
    // (a failure to start one fails that input).
    void handOut() {
        std::erase_if(workers_, [](const auto& w) { return !w->alive(); });
        while (next_ < count_) {
            Worker* free = nullptr;
            for (const auto& w : workers_)
                if (!w->current()) free = w.get();
            if (!free && workers_.size() < processes_) {
                try {
                    workers_.push_back(std::make_unique<Worker>(work_, openEnds()));
                    free = workers_.back().get();
                } catch (const std::system_error& error) {
                    done_(next_++, Outcome{false, 0, {error.what()}, {}});
                    continue;
                }
            }
            if (!free) return;
            const std::size_t index = next_++;
            if (free->give(index)) continue;
            // The worker was gone before it took the input: a new one gets it, once.
            Outcome lost = *free->receive();
            std::erase_if(workers_, [](const auto& w) { return !w->alive(); });
            if (retried_.insert(index).second) --next_;
            else done_(index, lost);
        }
    }

    std::vector<int> openEnds() const {
        std::vector<int> ends;
        for (const auto& w : workers_) ends.insert(ends.end(), {w->jobEnd(), w->resultEnd()});
        return ends;
    }

    void collect() {
        std::vector<pollfd> ends;
        std::vector<Worker*> busyWorkers;
        for (const auto& w : workers_)
            if (w->current()) {
                ends.push_back({w->resultEnd(), POLLIN, 0});
                busyWorkers.push_back(w.get());
            }
        if (::poll(ends.data(), ends.size(), -1) < 0) return;  // interrupted: look again
        for (std::size_t k = 0; k < ends.size(); ++k) {
            if (ends[k].revents == 0) continue;
            const std::size_t index = *busyWorkers[k]->current();
            if (std::optional<Outcome> outcome = busyWorkers[k]->receive()) done_(index, *outcome);
        }
    }

    std::size_t count_, processes_, next_ = 0;
    const std::function<Outcome(std::size_t)>& work_;
    const std::function<void(std::size_t, const Outcome&)>& done_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::set<std::size_t> retried_;
};

}  // namespace

void runInWorkers(std::size_t count, std::size_t processes, const std::function<Outcome(std::size_t)>& work,
                  const std::function<void(std::size_t, const Outcome&)>& done) {
    PipeSignalIgnored ignored;
    Pool(count, processes, work, done).run();
}

InOrder::InOrder(std::size_t count, std::function<void(std::size_t, const Outcome&)> next)
    : waiting_(count), next_(std::move(next)) {}

void InOrder::add(std::size_t index, Outcome outcome) {
    waiting_.at(index) = std::move(outcome);
    while (nextIndex_ < waiting_.size() && waiting_[nextIndex_]) {
        next_(nextIndex_, *waiting_[nextIndex_]);
        waiting_[nextIndex_].reset();
        ++nextIndex_;
    }
}

}  // namespace mireo::cli
