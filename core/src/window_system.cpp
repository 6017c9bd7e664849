#include "window_system.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace mireo {
namespace {

// Progress windows of the headless default: plain objects that remember
// what a real window would show.
struct HeadlessWindow {
    bool visible = false;
    int32_t position = 0;
    std::string text;
    std::string cancelLabel;
};

std::map<int32_t, HeadlessWindow>& headlessWindows() {
    static std::map<int32_t, HeadlessWindow> windows;
    return windows;
}

HeadlessWindow* findHeadless(int32_t window) {
    auto& windows = headlessWindows();
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : &it->second;
}

// Messages become one line on standard error: line breaks turn into blanks.
void headlessMessageBox(void*, const char* text, const char*, int32_t) {
    std::string line = text ? text : "";
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    std::fprintf(stderr, "mireocore: %s\n", line.c_str());
}

int32_t headlessCreate(void*, int32_t, const char*) {
    static int32_t nextHandle = 0;
    if (++nextHandle <= 0) nextHandle = 1;
    headlessWindows()[nextHandle] = HeadlessWindow{};
    return nextHandle;
}

void headlessShow(void*, int32_t window) {
    if (auto* w = findHeadless(window)) w->visible = true;
}

void headlessDestroy(void*, int32_t window) { headlessWindows().erase(window); }

void headlessSetPosition(void*, int32_t window, int32_t position) {
    if (auto* w = findHeadless(window)) w->position = position;
}

void headlessSetText(void*, int32_t window, const char* text) {
    if (auto* w = findHeadless(window)) w->text = text ? text : "";
}

int32_t headlessIsWindow(void*, int32_t window) { return findHeadless(window) ? 1 : 0; }

int32_t headlessIsVisible(void*, int32_t window) {
    auto* w = findHeadless(window);
    return w && w->visible ? 1 : 0;
}

void headlessReadCancel(void*, int32_t window, char* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    auto* w = findHeadless(window);
    std::string label = w ? w->cancelLabel : std::string();
    std::size_t n = std::min<std::size_t>(label.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, label.data(), n);
    buffer[n] = '\0';
}

void headlessProcessMessages(void*) {}

constexpr MireoWindowSystem kHeadless = {
    nullptr,           headlessMessageBox,  headlessCreate,   headlessShow,
    headlessDestroy,   headlessSetPosition, headlessSetText,  headlessIsWindow,
    headlessIsVisible, headlessReadCancel,  headlessProcessMessages,
};

MireoWindowSystem& installed() {
    static MireoWindowSystem current = kHeadless;
    return current;
}

// A host may leave functions it does not need empty; those fall back to the
// headless behaviour so that the library never calls through NULL.
MireoWindowSystem completed(const MireoWindowSystem& host) {
    MireoWindowSystem ws = host;
    if (!ws.messageBox) ws.messageBox = kHeadless.messageBox;
    if (!ws.createProgress) ws.createProgress = kHeadless.createProgress;
    if (!ws.showProgress) ws.showProgress = kHeadless.showProgress;
    if (!ws.destroyProgress) ws.destroyProgress = kHeadless.destroyProgress;
    if (!ws.setProgressPosition) ws.setProgressPosition = kHeadless.setProgressPosition;
    if (!ws.setProgressText) ws.setProgressText = kHeadless.setProgressText;
    if (!ws.isWindow) ws.isWindow = kHeadless.isWindow;
    if (!ws.isWindowVisible) ws.isWindowVisible = kHeadless.isWindowVisible;
    if (!ws.readCancelLabel) ws.readCancelLabel = kHeadless.readCancelLabel;
    if (!ws.processMessages) ws.processMessages = kHeadless.processMessages;
    return ws;
}

}  // namespace

const MireoWindowSystem& windowSystem() { return installed(); }

void showMessage(const std::string& text, const char* caption, int32_t icon) {
    const MireoWindowSystem& ws = windowSystem();
    ws.messageBox(ws.context, text.c_str(), caption, icon);
}

}  // namespace mireo

extern "C" MIREO_API void MireoSetWindowSystem(const MireoWindowSystem* windowSystem) {
    mireo::installed() = windowSystem ? mireo::completed(*windowSystem) : mireo::kHeadless;
}
