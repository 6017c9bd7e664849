// Runs the conversions of a batch in up to N worker processes at once.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "outcome.h"

namespace mireo::cli {

// Runs work(0) .. work(count - 1) in at most `processes` worker processes,
// handed out in index order to whichever worker is free.  Each worker is a
// copy of the caller that converts whole inputs one after another (so its
// memory stays warm) and sends each Outcome back over a pipe.  A worker that
// crashes or is killed fails the input it had, and a new one takes over the
// rest.  Calls done(index, outcome) in the calling process as each input
// ends, in the order they end.
void runInWorkers(std::size_t count, std::size_t processes, const std::function<Outcome(std::size_t)>& work,
                  const std::function<void(std::size_t, const Outcome&)>& done);

// Collects outcomes that arrive in any order and hands them on in index
// order, each as soon as all before it have been handed on.
class InOrder {
public:
    InOrder(std::size_t count, std::function<void(std::size_t, const Outcome&)> next);
    void add(std::size_t index, Outcome outcome);

private:
    std::vector<std::optional<Outcome>> waiting_;
    std::size_t nextIndex_ = 0;
    std::function<void(std::size_t, const Outcome&)> next_;
};

}  // namespace mireo::cli
