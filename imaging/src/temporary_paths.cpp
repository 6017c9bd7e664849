#include "imaging/temporary_paths.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace mireo::imaging {

namespace {

// Fixed tables of atomic slots, so that a signal handler can walk them at
// any moment: a path is copied before its slot is filled and freed only
// after the slot is cleared.
constexpr int kSlots = 256;
std::atomic<char*> files[kSlots];
std::atomic<char*> folders[kSlots];
std::atomic<pid_t> children[kSlots];

// A closed pipe on standard output stops the tool as quietly as Ctrl-C.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

std::atomic<int> deferDepth{0};
std::atomic<int> pendingSignal{0};

void put(std::atomic<char*> (&table)[kSlots], const std::string& path) {
    for (auto& slot : table)
        if (const char* held = slot.load(); held && path == held) return;
    char* copy = ::strdup(path.c_str());
    if (!copy) return;
    for (auto& slot : table) {
        char* empty = nullptr;
        if (slot.compare_exchange_strong(empty, copy)) return;
    }
    std::free(copy);  // full: this one is left to the normal clean-up
}

void take(std::atomic<char*> (&table)[kSlots], const std::string& path) {
    for (auto& slot : table) {
        char* held = slot.load();
        if (held && path == held && slot.compare_exchange_strong(held, nullptr)) {
            std::free(held);
            return;
        }
    }
}

// Only async-signal-safe calls from here on.
void cleanUpAndExit(int signal) {
    for (auto& child : children) {
        pid_t pid = child.load();
        if (pid > 0) ::kill(pid, SIGTERM);
    }
    for (auto& child : children) {
        pid_t pid = child.load();
        if (pid <= 0) continue;
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    for (auto& file : files)
        if (char* path = file.load()) ::unlink(path);
    for (auto& folder : folders)
        if (char* path = folder.load()) ::rmdir(path);
    ::_exit(128 + signal);
}

void onStop(int signal) {
    if (deferDepth.load() > 0) {
        pendingSignal.store(signal);
        return;
    }
    cleanUpAndExit(signal);
}

}  // namespace

void TemporaryPaths::add(const std::string& file) { put(files, file); }
void TemporaryPaths::addFolder(const std::string& folder) { put(folders, folder); }

void TemporaryPaths::remove(const std::string& path) {
    take(files, path);
    take(folders, path);
}

void TemporaryPaths::addChild(pid_t child) {
    for (auto& slot : children) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, child)) return;
    }
}

void TemporaryPaths::removeChild(pid_t child) {
    for (auto& slot : children) {
        pid_t held = child;
        if (slot.compare_exchange_strong(held, 0)) return;
    }
}

void TemporaryPaths::forgetChildren() {
    for (auto& slot : children) slot.store(0);
}

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    for (int signal : kStopSignals) sigaddset(&action.sa_mask, signal);
    for (int signal : kStopSignals) ::sigaction(signal, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

StopDeferred::StopDeferred() { ++deferDepth; }

StopDeferred::~StopDeferred() {
    if (--deferDepth == 0 && pendingSignal.load() != 0) cleanUpAndExit(pendingSignal.load());
}

}  // namespace mireo::imaging
