#include "console.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "mireocore.h"

namespace mireo::cli {

namespace {

Console& of(void* context) { return *static_cast<Console*>(context); }

// Set on a helper thread for the length of its library calls.
thread_local std::vector<std::string>* threadMessages = nullptr;

MireoWindowSystem windowSystemFor(Console& console) {
    MireoWindowSystem ws{};
    ws.context = &console;
    ws.messageBox = [](void* c, const char* text, const char*, int32_t) { of(c).addMessage(text ? text : ""); };
    ws.createProgress = [](void* c, int32_t, const char*) -> int32_t {
        of(c).showProgress(0);
        return 1;
    };
    ws.showProgress = [](void*, int32_t) {};
    ws.destroyProgress = [](void* c, int32_t) { of(c).clearProgress(); };
    ws.setProgressPosition = [](void* c, int32_t, int32_t position) { of(c).showProgress(position); };
    ws.setProgressText = [](void*, int32_t, const char*) {};
    ws.isWindow = [](void*, int32_t window) -> int32_t { return window == 1; };
    ws.isWindowVisible = [](void*, int32_t window) -> int32_t { return window == 1; };
    ws.readCancelLabel = [](void*, int32_t, char* buffer, int32_t capacity) {
        if (capacity > 0) buffer[0] = '\0';
    };
    ws.processMessages = [](void*) {};
    return ws;
}

}  // namespace

Console::Console() : terminal_(isatty(STDERR_FILENO) == 1) {
    MireoWindowSystem ws = windowSystemFor(*this);
    MireoSetWindowSystem(&ws);
}

Console::~Console() {
    clearProgress();
    MireoSetWindowSystem(nullptr);
}

void Console::setLabel(std::string label) { label_ = std::move(label); }

void Console::showProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (threadMessages || !terminal_ || (barShown_ && percent == shownPercent_)) return;
    char figure[8];
    std::snprintf(figure, sizeof figure, "%3d%%", percent);
    drawBar(label_, percent, figure);
}

void Console::showBatch(std::size_t done, std::size_t total) {
    if (!terminal_ || total == 0) return;
    drawBar("converting", static_cast<int>(done * 100 / total), std::to_string(done) + " of " + std::to_string(total));
}

void Console::drawBar(const std::string& label, int percent, const std::string& figure) {
    constexpr int kWidth = 30;
    int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r\033[K%s [%s%s] %s", label.c_str(), std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), figure.c_str());
    std::fflush(stderr);
    barShown_ = true;
    shownPercent_ = percent;
}

void Console::clearProgress() {
    if (threadMessages || !barShown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    barShown_ = false;
}

std::vector<std::string> Console::takeMessages() { return std::exchange(messages_, {}); }

void Console::addMessage(std::string text) {
    if (threadMessages) threadMessages->push_back(std::move(text));
    else messages_.push_back(std::move(text));
}

Console::ThreadMessages::ThreadMessages(std::vector<std::string>& list) { threadMessages = &list; }
Console::ThreadMessages::~ThreadMessages() { threadMessages = nullptr; }

void Console::report(const std::string& subject, const std::string& message) {
    clearProgress();
    // Message boxes may break their text into lines; one report is one line.
    std::string line;
    for (char c : message) {
        bool breaks = c == '\r' || c == '\n';
        if (!breaks) line += c;
        else if (line.empty() || line.back() != ' ') line += ' ';
    }
    std::fprintf(stderr, "mireo-cli: %s: %s\n", subject.c_str(), line.c_str());
}

}  // namespace mireo::cli
