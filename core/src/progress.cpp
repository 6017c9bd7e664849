// The progress window exports.
#include <algorithm>
#include <cstring>

#include "args.h"
#include "window_system.h"

namespace {

std::string textOrEmpty(const MireoString* text) {
    if (!text || text->length <= 0 || !text->text) return {};
    int32_t n = text->capacity > 0 ? std::min(text->length, text->capacity) : text->length;
    return std::string(text->text, static_cast<std::size_t>(n));
}

}  // namespace

extern "C" {

MIREO_API int32_t PROGRESS_INIT(int32_t parentWindow, const MireoString* caption) {
    const MireoWindowSystem& ws = mireo::windowSystem();
    int32_t window = ws.createProgress(ws.context, parentWindow, textOrEmpty(caption).c_str());
    if (window == 0) return 0;
    ws.setProgressPosition(ws.context, window, 0);
    ws.showProgress(ws.context, window);
    return window;
}

MIREO_API void PROGRESS_SET(int32_t window, int32_t percent, const MireoString* text) {
    const MireoWindowSystem& ws = mireo::windowSystem();
    ws.setProgressPosition(ws.context, window, std::clamp(percent, 0, 100));
    ws.setProgressText(ws.context, window, textOrEmpty(text).c_str());
}

MIREO_API void PROGRESS_SHUTDOWN(int32_t window) {
    const MireoWindowSystem& ws = mireo::windowSystem();
    ws.destroyProgress(ws.context, window);
}

MIREO_API int32_t PROGESS_IS_CANCELLED(int32_t window) {
    const MireoWindowSystem& ws = mireo::windowSystem();
    if (!ws.isWindow(ws.context, window) || !ws.isWindowVisible(ws.context, window)) return 1;
    char label[16] = {};
    ws.readCancelLabel(ws.context, window, label, sizeof label);
    return std::strcmp(label, "cancel") == 0 ? 1 : 0;
}

}  // extern "C"
