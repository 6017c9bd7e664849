// The progress window exports, through a recording window system and through
// the headless default.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace mireo::test;

TEST(ProgressWindow, OpensClampsCancelsAndCloses) {
    RecordingWindowSystem ws;
    StringArg caption("Checking / Adjusting color palette..."), text(" 37 %");
    int32_t h = PROGRESS_INIT(0, &caption);
    ASSERT_NE(h, 0);
    EXPECT_EQ(std::tuple(ws.window(h).caption, ws.window(h).visible, ws.window(h).position),
              std::tuple("Checking / Adjusting color palette...", true, 0));
    EXPECT_EQ(PROGESS_IS_CANCELLED(h), 0);
    PROGRESS_SET(h, 37, &text);
    PROGRESS_SET(h, 150, &text);
    PROGRESS_SET(h, -5, &text);
    EXPECT_EQ(ws.window(h).positions, (std::vector<int32_t>{0, 37, 100, 0}));
    EXPECT_EQ(ws.window(h).text, " 37 %");
    PROGRESS_SHUTDOWN(h);
    EXPECT_FALSE(ws.exists(h));
    EXPECT_EQ(PROGESS_IS_CANCELLED(h), 1);
    // Closed, hidden or cancel-labelled windows count as cancelled.
    int32_t closed = PROGRESS_INIT(0, &caption), hidden = PROGRESS_INIT(0, &caption),
            labelled = PROGRESS_INIT(0, &caption);
    ws.close(closed);
    EXPECT_EQ(PROGESS_IS_CANCELLED(closed), 1);
    ws.window(hidden).visible = false;
    EXPECT_EQ(PROGESS_IS_CANCELLED(hidden), 1);
    ws.window(labelled).cancelLabel = "cancelled";
    EXPECT_EQ(PROGESS_IS_CANCELLED(labelled), 0);
    ws.window(labelled).cancelLabel = "cancel";
    EXPECT_EQ(PROGESS_IS_CANCELLED(labelled), 1);
    EXPECT_EQ(PROGESS_IS_CANCELLED(12345), 1);
    ws.failCreate = true;
    EXPECT_EQ(PROGRESS_INIT(0, &caption), 0);
}

TEST(HeadlessWindowSystem, ProgressWindowsAndMessagesWorkWithoutAHost) {
    MireoSetWindowSystem(nullptr);
    StringArg caption("c"), text(" 50 %");
    int32_t a = PROGRESS_INIT(0, &caption), b = PROGRESS_INIT(0, &caption);
    EXPECT_TRUE(a != 0 && b != 0 && a != b);
    PROGRESS_SET(a, 50, &text);
    EXPECT_EQ(PROGESS_IS_CANCELLED(a), 0);
    PROGRESS_SHUTDOWN(a);
    EXPECT_EQ(std::pair(PROGESS_IS_CANCELLED(a), PROGESS_IS_CANCELLED(b)), std::pair(1, 0));
    PROGRESS_SHUTDOWN(b);
    testing::internal::CaptureStderr();
    StringArg missing("/nonexistent-folder-for-mireo/x.bmp"), left("Left");
    RotateImg(&missing, &left);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "mireocore: Error in dll module Rotate. Unable to find temporary image file.\n");
}
