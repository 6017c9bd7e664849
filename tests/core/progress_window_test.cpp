// The progress window exports, through a recording window system and through
// the headless default.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace mireo::test;

TEST(ProgressWindow, OpensShownWithItsCaptionAndAnEmptyBar) {
    RecordingWindowSystem ws;
    StringArg caption("Checking / Adjusting color palette...");
    int32_t h = PROGRESS_INIT(0, &caption);
    ASSERT_NE(h, 0);
    EXPECT_EQ(ws.window(h).caption, "Checking / Adjusting color palette...");
    EXPECT_TRUE(ws.window(h).visible);
    EXPECT_EQ(ws.window(h).position, 0);
    EXPECT_EQ(PROGESS_IS_CANCELLED(h), 0);
}

TEST(ProgressWindow, SetClampsThePercentAndShowsTheText) {
    RecordingWindowSystem ws;
    StringArg caption("c");
    int32_t h = PROGRESS_INIT(0, &caption);
    StringArg text(" 37 %");
    PROGRESS_SET(h, 37, &text);
    EXPECT_EQ(ws.window(h).position, 37);
    EXPECT_EQ(ws.window(h).text, " 37 %");
    PROGRESS_SET(h, 150, &text);
    EXPECT_EQ(ws.window(h).position, 100);
    PROGRESS_SET(h, -5, &text);
    EXPECT_EQ(ws.window(h).position, 0);
}

TEST(ProgressWindow, ClosedHiddenOrCancelLabelledWindowsCountAsCancelled) {
    RecordingWindowSystem ws;
    StringArg caption("c");
    int32_t closed = PROGRESS_INIT(0, &caption);
    ws.close(closed);
    EXPECT_EQ(PROGESS_IS_CANCELLED(closed), 1);

    int32_t hidden = PROGRESS_INIT(0, &caption);
    ws.window(hidden).visible = false;
    EXPECT_EQ(PROGESS_IS_CANCELLED(hidden), 1);

    int32_t labelled = PROGRESS_INIT(0, &caption);
    ws.window(labelled).cancelLabel = "cancelled";
    EXPECT_EQ(PROGESS_IS_CANCELLED(labelled), 0);
    ws.window(labelled).cancelLabel = "cancel";
    EXPECT_EQ(PROGESS_IS_CANCELLED(labelled), 1);

    EXPECT_EQ(PROGESS_IS_CANCELLED(12345), 1);
}

TEST(ProgressWindow, ShutdownDestroysTheWindow) {
    RecordingWindowSystem ws;
    StringArg caption("c");
    int32_t h = PROGRESS_INIT(0, &caption);
    PROGRESS_SHUTDOWN(h);
    EXPECT_FALSE(ws.exists(h));
    EXPECT_EQ(PROGESS_IS_CANCELLED(h), 1);
}

TEST(ProgressWindow, FailedCreationReturnsZero) {
    RecordingWindowSystem ws;
    ws.failCreate = true;
    StringArg caption("c");
    EXPECT_EQ(PROGRESS_INIT(0, &caption), 0);
}

TEST(HeadlessWindowSystem, ProgressWindowsWorkWithoutAHost) {
    MireoSetWindowSystem(nullptr);
    StringArg caption("c");
    int32_t a = PROGRESS_INIT(0, &caption);
    int32_t b = PROGRESS_INIT(0, &caption);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    StringArg text(" 50 %");
    PROGRESS_SET(a, 50, &text);
    EXPECT_EQ(PROGESS_IS_CANCELLED(a), 0);
    PROGRESS_SHUTDOWN(a);
    EXPECT_EQ(PROGESS_IS_CANCELLED(a), 1);
    EXPECT_EQ(PROGESS_IS_CANCELLED(b), 0);
    PROGRESS_SHUTDOWN(b);
}

TEST(HeadlessWindowSystem, MessagesAreOneLineOnStandardError) {
    MireoSetWindowSystem(nullptr);
    testing::internal::CaptureStderr();
    StringArg missing("/nonexistent-folder-for-mireo/x.bmp");
    StringArg left("Left");
    RotateImg(&missing, &left);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "mireocore: Error in dll module Rotate. Unable to find temporary image file.\n");
}

TEST(HeadlessWindowSystem, HostsMayLeaveFunctionsEmpty) {
    std::vector<std::string> texts;
    MireoWindowSystem partial{};
    partial.context = &texts;
    partial.messageBox = [](void* context, const char* text, const char*, int32_t) {
        static_cast<std::vector<std::string>*>(context)->push_back(text);
    };
    MireoSetWindowSystem(&partial);
    StringArg caption("c");
    int32_t h = PROGRESS_INIT(0, &caption);
    EXPECT_NE(h, 0);
    PROGRESS_SHUTDOWN(h);
    StringArg missing("/nonexistent-folder-for-mireo/x.bmp");
    RotateImg(&missing, &missing);
    MireoSetWindowSystem(nullptr);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Error in dll module Rotate. Unable to find temporary image file.");
}
