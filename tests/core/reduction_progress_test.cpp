// The progress window of the reductions, the order of their steps, and how
// they fail.
#include <gtest/gtest.h>

#include "progress_meter.h"
#include "reference_reduction.h"
#include "synthetic_picture.h"

using namespace mireo::test;

namespace {

const std::vector<Reduction> kAll = {Reduction::Nearest8, Reduction::Diffused8, Reduction::Nearest4,
                                     Reduction::Diffused4};

const char* nameOf(Reduction r) {
    switch (r) {
        case Reduction::Nearest8: return "WriteBmp8";
        case Reduction::Diffused8: return "WriteBmp8dith";
        case Reduction::Nearest4: return "WriteBmp4";
        case Reduction::Diffused4: return "WriteBmp4dith";
    }
    return "";
}

bool isPalm8(Reduction r) { return r == Reduction::Nearest8 || r == Reduction::Diffused8; }

// A window system that logs each call together with whether `watched`
// exists at that moment, and keeps the last and the largest position.
class StepLog {
public:
    explicit StepLog(std::string watched = {}) : watched_(std::move(watched)) {
        current = this;
        MireoWindowSystem ws{};
        ws.messageBox = [](void*, const char* text, const char*, int32_t) { current->log("message " + std::string(text)); };
        ws.createProgress = [](void*, int32_t, const char*) -> int32_t { return current->log("create"), 7; };
        ws.destroyProgress = [](void*, int32_t) { current->log("destroy"); };
        ws.setProgressPosition = [](void*, int32_t, int32_t position) {
            current->lastPosition = position;
            current->maxPosition = std::max(current->maxPosition, position);
        };
        ws.setProgressText = [](void*, int32_t, const char* text) { current->lastText = text; };
        MireoSetWindowSystem(&ws);
    }
    ~StepLog() {
        MireoSetWindowSystem(nullptr);
        current = nullptr;
    }
    StepLog(const StepLog&) = delete;
    StepLog& operator=(const StepLog&) = delete;

    std::vector<std::string> events;
    int32_t lastPosition = -1, maxPosition = -1;
    std::string lastText;

private:
    void log(const std::string& what) {
        if (!watched_.empty()) events.push_back(what + (std::filesystem::exists(watched_) ? " (file)" : " (no file)"));
        else events.push_back(what);
    }
    static inline StepLog* current = nullptr;
    std::string watched_;
};

void fillFor(Reduction r, PaletteTable& table) {
    if (isPalm8(r)) fillPalm8(table);
    else fillGrey16(table);
}

}  // namespace

// One update per row for the nearest exports and per column for the
// diffusing ones, each followed by message processing.
TEST(ReductionProgress, ShowsEachStepsPercentage) {
    SyntheticPicture photo(7, 5);
    ScratchDir dir;
    for (Reduction r : kAll) {
        RecordingWindowSystem ws;
        PaletteTable table(isPalm8(r) ? 257 : 17);
        fillFor(r, table);
        reduceToFile(r, photo.deviceBits(32), table, 7, 5, dir.file("a.bmp"));
        ASSERT_EQ(ws.windows.size(), 1u) << nameOf(r);
        const auto& window = ws.windows[0];
        EXPECT_EQ(window.caption, "Checking / Adjusting color palette...");
        bool perColumn = r == Reduction::Diffused8 || r == Reduction::Diffused4;
        if (perColumn) {
            EXPECT_EQ(window.positions, (std::vector<int32_t>{0, 0, 14, 29, 43, 57, 71, 86, 100})) << nameOf(r);
            EXPECT_EQ(window.texts.back(), " 100 %");
            EXPECT_EQ(window.texts[2], " 29 %");
        } else {
            EXPECT_EQ(window.positions, (std::vector<int32_t>{0, 0, 20, 40, 60, 80, 100})) << nameOf(r);
            EXPECT_EQ(window.texts, (std::vector<std::string>{" 0 %", " 20 %", " 40 %", " 60 %", " 80 %", " 100 %"}));
        }
        std::vector<std::string> events = {"create", "set", "show"};
        for (std::size_t i = 1; i < window.positions.size(); ++i) events.insert(events.end(), {"set", "pump"});
        events.push_back("destroy");
        EXPECT_EQ(ws.events, events) << nameOf(r);
        EXPECT_TRUE(ws.messages.empty());
    }
}

// Two million single-precision steps of 0.00005 add up to almost 102: the
// window still shows no more than 100, and 100 last.
TEST(ReductionProgress, PercentageNeverExceeds100) {
    StepLog log;
    mireo::ProgressMeter meter(2000000);
    ASSERT_TRUE(meter.open());
    for (int i = 0; i < 2000000; ++i) meter.advance();
    EXPECT_EQ(log.maxPosition, 100);
    EXPECT_EQ(log.lastPosition, 100);
    EXPECT_EQ(log.lastText, " 100 %");
}

// The old file goes after the window opens; WriteBmp8 and WriteBmp4 close
// the window before writing, the diffusing exports after.
TEST(ReductionProgress, StepOrderAroundTheOldFile) {
    ScratchDir dir;
    SyntheticPicture photo(5, 4);
    for (Reduction r : kAll) {
        std::string path = dir.file("old.bmp");
        writeFile(path, {1, 2, 3});
        StepLog log(path);
        PaletteTable table(isPalm8(r) ? 257 : 17);
        fillFor(r, table);
        reduceToFile(r, photo.deviceBits(32), table, 5, 4, path);
        bool closesFirst = r == Reduction::Nearest8 || r == Reduction::Nearest4;
        EXPECT_EQ(log.events, (std::vector<std::string>{"create (file)", closesFirst ? "destroy (no file)" : "destroy (file)"}))
            << nameOf(r);
        EXPECT_EQ(readFile(path).size(), 54u + 4 * 16u);
    }
}

TEST(ReductionProgress, NoWindowMeansNoOutputAndTheOldFileStays) {
    ScratchDir dir;
    for (Reduction r : kAll) {
        RecordingWindowSystem ws;
        ws.failCreate = true;
        std::string path = dir.file("kept.bmp");
        writeFile(path, {9, 8, 7});
        PaletteTable table(isPalm8(r) ? 257 : 17);
        fillFor(r, table);
        reduceToFile(r, deviceBits32({{1, 2, 3}}), table, 1, 1, path);
        EXPECT_EQ(readFile(path), (std::vector<uint8_t>{9, 8, 7})) << nameOf(r);
        EXPECT_EQ(ws.events, std::vector<std::string>{"create"});
        EXPECT_TRUE(ws.messages.empty());
    }
}

// A too small table is found while the colours are copied, before any
// window or file is touched, except by WriteBmp4, which reads its table at
// the first pixel and reports without a number.
TEST(ReductionFailure, TooSmallTable) {
    ScratchDir dir;
    for (Reduction r : kAll) {
        std::string path = dir.file("old.bmp");
        writeFile(path, {1});
        StepLog log(path);
        PaletteTable table(r == Reduction::Nearest8 || r == Reduction::Diffused8 ? 255 : r == Reduction::Nearest4 ? 1 : 15);
        reduceToFile(r, deviceBits32({{1, 2, 3}}), table, 1, 1, path);
        if (r == Reduction::Nearest4) {
            EXPECT_EQ(log.events, (std::vector<std::string>{"create (file)", "destroy (no file)",
                                                            "message Error in dll module WriteBmp4 (no file)"}));
        } else {
            std::string text = "message Error in dll module " + std::string(nameOf(r)) + " -  9 - Subscript out of range";
            EXPECT_EQ(log.events, std::vector<std::string>{text + " (file)"});
        }
    }
}

// A write that fails closes the window before its one message; the next
// call works normally.
TEST(ReductionFailure, FailedWriteClosesTheWindowFirst) {
    ScratchDir dir;
    SyntheticPicture photo(3, 3);
    std::filesystem::create_directory(dir.file("sub"));
    writeFile(dir.file("sub/x"), {1});
    for (Reduction r : kAll) {
        PaletteTable table(isPalm8(r) ? 257 : 17);
        fillFor(r, table);
        {
            StepLog log;
            reduceToFile(r, photo.deviceBits(32), table, 3, 3, dir.file("sub"));
            ASSERT_EQ(log.events.size(), 3u) << nameOf(r);
            EXPECT_EQ(log.events[1], "destroy");
            std::string prefix = "message Error in dll module " + std::string(nameOf(r));
            EXPECT_EQ(log.events[2].substr(0, prefix.size()), prefix);
            if (r == Reduction::Nearest4) {
                EXPECT_EQ(log.events[2], prefix);
            }
        }
        RecordingWindowSystem ws;
        EXPECT_FALSE(reduceToFile(r, photo.deviceBits(32), table, 3, 3, dir.file("ok.bmp")).empty());
        EXPECT_TRUE(ws.messages.empty());
    }
}

TEST(ReductionFailure, SizesThatAreNotPositive) {
    ScratchDir dir;
    for (Reduction r : kAll) {
        RecordingWindowSystem ws;
        PaletteTable table(isPalm8(r) ? 257 : 17);
        fillFor(r, table);
        reduceToFile(r, deviceBits32({{1, 2, 3}}), table, 0, 1, dir.file("a.bmp"));
        reduceToFile(r, deviceBits32({{1, 2, 3}}), table, 1, -1, dir.file("a.bmp"));
        EXPECT_FALSE(std::filesystem::exists(dir.file("a.bmp")));
        ASSERT_EQ(ws.messages.size(), 2u);
        EXPECT_EQ(ws.messages[0].text.substr(0, 20), "Error in dll module ");
    }
}
