#include "helper_threads.h"

#include <atomic>

namespace mireo {
namespace {

std::atomic<bool> allowed{true};

}  // namespace

void allowHelperThreads(bool value) { allowed.store(value); }
bool helperThreadsAllowed() { return allowed.load(); }

}  // namespace mireo
