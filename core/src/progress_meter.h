// The progress window of the colour reductions: opened with its caption,
// advanced once per unit of work (a row or a column), closed at the end or
// when the reduction fails.
#pragma once

#include <cstdint>

namespace mireo {

class ProgressMeter {
public:
    // `units` is the number of rows or columns the reduction will walk.
    explicit ProgressMeter(int32_t units);
    ~ProgressMeter();
    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;

    // Opens the window and shows 0 %; false when no window could be made.
    bool open();
    // One unit done: the running total grows by one step and the rounded
    // percentage (at most 100) is shown.
    void advance();
    void close();

    int32_t percent() const { return percent_; }

private:
    void show();

    int32_t window_ = 0;
    int32_t percent_ = 0;
    float step_;
    float total_ = 0.0f;
};

}  // namespace mireo
