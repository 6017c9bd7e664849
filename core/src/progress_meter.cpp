#include "progress_meter.h"

#include <algorithm>
#include <cstdio>

#include "mireocore.h"
#include "numeric.h"
#include "window_system.h"

namespace mireo {
namespace {

MireoString stringArg(char* text, int length) {
    MireoString s{};
    s.text = text;
    s.length = length;
    s.capacity = length;
    return s;
}

}  // namespace

// The step is computed in double and kept in single precision, and so is the
// running total: the shown percentages follow that arithmetic exactly.
ProgressMeter::ProgressMeter(int32_t units) : step_(static_cast<float>(100.0 / units)) {}

ProgressMeter::~ProgressMeter() { close(); }

bool ProgressMeter::open() {
    char caption[] = "Checking / Adjusting color palette...";
    MireoString arg = stringArg(caption, static_cast<int>(sizeof caption - 1));
    window_ = PROGRESS_INIT(0, &arg);
    if (window_ == 0) return false;
    show();
    return true;
}

void ProgressMeter::advance() {
    total_ += step_;
    percent_ = static_cast<int32_t>(std::min<int64_t>(roundHalfEven(total_), 100));
    show();
}

void ProgressMeter::close() {
    if (window_ == 0) return;
    PROGRESS_SHUTDOWN(window_);
    window_ = 0;
}

void ProgressMeter::show() {
    char text[16];
    int length = std::snprintf(text, sizeof text, " %d %%", static_cast<int>(percent_));
    MireoString arg = stringArg(text, length);
    PROGRESS_SET(window_, percent_, &arg);
    const MireoWindowSystem& ws = windowSystem();
    ws.processMessages(ws.context);
}

}  // namespace mireo
