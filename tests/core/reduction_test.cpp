// WriteBmp8, WriteBmp8dith, WriteBmp4 and WriteBmp4dith: pictures worked
// out by hand, whole files against the full table walk, the progress window
// and the order of their steps, and how they fail.  The progress window
// exports too, through a recording window system and without a host.
#include <gtest/gtest.h>

#include "progress_meter.h"
#include "reference_reduction.h"

using namespace mireo::test;

namespace {

const Reduction kAll[] = {Reduction::Nearest8, Reduction::Diffused8, Reduction::Nearest4, Reduction::Diffused4};
std::string nameOf(Reduction r) { return std::array{"WriteBmp8", "WriteBmp8dith", "WriteBmp4", "WriteBmp4dith"}[std::size_t(r)]; }
bool isPalm8(Reduction r) { return r == Reduction::Nearest8 || r == Reduction::Diffused8; }
Table tableFor(Reduction r) { return isPalm8(r) ? palm8Table() : grey16Table(); }

constexpr RefColour kBlack{0, 0, 0}, kRed51{51, 0, 0};
RefColour grey(int level) { return {level, level, level}; }

// Calls the reduction's export; the written file, or nothing when none exists.
Bytes reduceToFile(Reduction r, Bytes bits, const Table& table, int32_t w, int32_t h, const std::string& path,
                   int32_t bpp = 32) {
    MireoArray array = byteArray(bits);
    StringArg name(path);
    exportOf(r)(&array, table.arg(), &w, &h, &name, &bpp);
    return std::filesystem::is_regular_file(path) ? readFile(path) : Bytes{};
}

// Pixels given top row first, reduced; the result top row first too.
std::vector<RefColour> reduce(Reduction r, const std::vector<RefColour>& pixels, int32_t w, int32_t h, const Table& t) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    auto bgr = bmpPixels(reduceToFile(r, deviceBits32(pixels), t, w, h, dir.file("out.bmp")), w, h);
    EXPECT_TRUE(ws.messages.empty()) << ws.messages[0].text;
    std::vector<RefColour> out;
    for (std::size_t i = 0; i + 2 < bgr.size(); i += 3) out.push_back({bgr[i + 2], bgr[i + 1], bgr[i]});
    return out;
}

}  // namespace

TEST(Reduction, PicturesWorkedOutByHand) {
    Table palm = palm8Table(), greys = grey16Table();
    // Greys beyond the 16th take part in WriteBmp4's search only.
    Table extended(18);
    for (int i = 0; i < 16; ++i) extended.set(i, 255 - 17 * i, 255 - 17 * i, 255 - 17 * i);
    extended.set(17, 255, 0, 0);  // after the zero row 16
    // WriteBmp4 starts from the second-to-last row, which keeps its ties;
    // fractional rows are compared as they are and written rounded.
    Table tied(3), halves(3);
    tied.set(0, 10, 10, 10), tied.set(1, 12, 12, 12), tied.set(2, 200, 200, 200);
    halves.set(0, 10, 10, 10), halves.setExact(1, 12.5f, 12.5f, 12.5f), halves.set(2, 200, 200, 200);
    // Only the first 256 rows of the Palm table count, not the spare one after them.
    Table big = palm8Table();
    big.set(256, 46, 0, 0);
    using enum Reduction;
    struct Case { const char* what; Reduction r; const Table& table; int32_t w, h; std::vector<RefColour> in, want; } cases[] = {
        // (0, 115, 0) is 13 from rows 213 and 228: the lower row wins.
        {"ties and thresholds", Nearest8, palm, 6, 1, {{0, 115, 0}, {25, 0, 0}, {26, 0, 0}, {128, 128, 128}, {100, 100, 100}, kBlack},
         {{0, 102, 0}, kBlack, kRed51, {136, 136, 136}, {102, 102, 102}, kBlack}},
        // Column 1 bottom, 46 -> 51, error -5: 7 * -5 / 16 = -2 to the right
        // (28 -> 26, still 51), 4 * -5 / 16 = -1 above (27 -> 26, still 51).
        // The pixel above errs by -25 and pushes -10 into black, clamped;
        // column 2 bottom errs by -25 and pushes -6 above, clamped too.
        {"negative errors truncate toward zero and clamp", Diffused8, palm, 4, 2,
         {kBlack, {27, 0, 0}, kBlack, kBlack, kBlack, {46, 0, 0}, {28, 0, 0}, kBlack},
         {kBlack, kRed51, kBlack, kBlack, kBlack, kRed51, kRed51, kBlack}},
        // Column 0 spreads only to the right (20 + 8 = 28 becomes 51; 22 + 9
        // -> 0 + 9 = 9), column 1 (= W - 2) only upwards (9 - 5 = 4, black),
        // column 2 not at all: 26 above 30 stays 26 and becomes 51.
        {"error reaches only inner columns", Diffused8, palm, 3, 2,
         {{22, 0, 0}, kBlack, {26, 0, 0}, {20, 0, 0}, {20, 0, 0}, {30, 0, 0}}, {kBlack, kBlack, kRed51, kBlack, kRed51, kRed51}},
        // An error whose absolute sum is 3 stays put; 4 is spread: 7 * 4 / 16
        // = 1 lifts 25 to 26, which becomes 51.
        {"error of 3 stays", Diffused8, palm, 3, 1, {{54, 0, 0}, {25, 0, 0}, kBlack}, {kRed51, kBlack, kBlack}},
        {"error of 3 over channels stays", Diffused8, palm, 3, 1, {{52, 1, 1}, {25, 0, 0}, kBlack}, {kRed51, kBlack, kBlack}},
        {"error of 4 goes right", Diffused8, palm, 3, 1, {{55, 0, 0}, {25, 0, 0}, kBlack}, {kRed51, kRed51, kBlack}},
        // 20 errs by 20: 7 * 20 / 16 = 8 lifts 18 to 26, which becomes 51.
        {"the 7/16 share goes right", Diffused8, palm, 3, 1, {{20, 0, 0}, {18, 0, 0}, kBlack}, {kBlack, kRed51, kBlack}},
        {"rows past 256 do not count", Nearest8, big, 1, 1, {{46, 0, 0}}, {kRed51}},
        // The grey nearest to the mean: 8.33 -> 0, 9 -> 17, 33.3 -> 34, 85 -> 85.
        {"nearest grey follows the mean", Nearest4, greys, 5, 1, {{8, 8, 9}, {9, 9, 9}, {100, 0, 0}, {255, 0, 0}, kBlack},
         {grey(0), grey(17), grey(34), grey(85), grey(0)}},
        // Absolute differences make pure red black (255 against 272 for 17).
        {"diffusion measures absolute differences", Diffused4, greys, 1, 1, {{255, 0, 0}}, {grey(0)}},
        // 250 -> 255 errs by -5 per channel (sum 15): 7 * -5 / 16 = -2 reaches
        // the middle pixel, and 245 is nearer 238 than 255.
        {"diffusion spreads the grey error", Diffused4, greys, 3, 1, {grey(250), grey(247), grey(247)},
         {grey(255), grey(238), grey(255)}},
        {"WriteBmp4 reads every row", Nearest4, extended, 1, 1, {{255, 0, 0}}, {{255, 0, 0}}},
        {"WriteBmp4dith reads 16 rows", Diffused4, extended, 1, 1, {{255, 0, 0}}, {grey(0)}},
        {"the start keeps its ties", Nearest4, tied, 2, 1, {grey(11), grey(0)}, {grey(12), grey(10)}},
        {"fractional rows", Nearest4, halves, 2, 1, {grey(11), grey(12)}, {grey(10), grey(12)}},
    };
    for (const Case& c : cases) EXPECT_EQ(reduce(c.r, c.in, c.w, c.h, c.table), c.want) << c.what;
    // A table whose first row has another index is read from its first row.
    palm.array.lowerBound[0] = 1;
    EXPECT_EQ(reduce(Nearest8, {{25, 0, 0}, {26, 0, 0}}, 2, 1, palm), (std::vector<RefColour>{kBlack, kRed51}));
}

// Byte for byte the full table walk, on a photo-like picture and on noise,
// for rows padded by 1 (61), 3 (7) and 2 (6) bytes and every input depth;
// twice the same.
TEST(Reduction, FilesMatchTheFullTableWalk) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    auto noise = syntheticPicture(7, 6, 32, 77);
    for (Reduction r : kAll) {
        SCOPED_TRACE(nameOf(r));
        Table t = tableFor(r);
        for (int32_t bpp : {32, 24, 16}) {
            auto bits = syntheticPicture(61, 47, bpp, 3);
            auto first = reduceToFile(r, bits, t, 61, 47, dir.file("p.bmp"), bpp);
            EXPECT_EQ(first, referenceBmp(r, bits, t, 61, 47, bpp)) << bpp;
            EXPECT_EQ(reduceToFile(r, bits, t, 61, 47, dir.file("p.bmp"), bpp), first) << bpp;
        }
        EXPECT_EQ(reduceToFile(r, noise, t, 7, 6, dir.file("n.bmp")), referenceBmp(r, noise, t, 7, 6, 32));
        EXPECT_EQ(reduceToFile(r, noise, t, 6, 7, dir.file("m.bmp")), referenceBmp(r, noise, t, 6, 7, 32));
    }
    EXPECT_TRUE(ws.messages.empty());
}

// One update per row for the nearest exports and per column for the
// diffusing ones, each followed by message processing.  The old file goes
// after the window opens; WriteBmp8 and WriteBmp4 close the window before
// writing, the diffusing exports after.  Without a window nothing is
// written and the old file stays.
TEST(ReductionProgress, ShowsEachStepsPercentageAroundTheOldFile) {
    const Bytes photo = syntheticPicture(7, 5, 32);
    ScratchDir dir;
    const std::string path = dir.file("old.bmp");
    for (Reduction r : kAll) {
        SCOPED_TRACE(nameOf(r));
        writeFile(path, {1, 2, 3});
        {
            RecordingWindowSystem ws(path);
            ws.failCreate = true;
            reduceToFile(r, photo, tableFor(r), 7, 5, path);
            EXPECT_EQ(ws.events, Texts{"create (file)"});
        }
        EXPECT_EQ(readFile(path), (Bytes{1, 2, 3}));
        RecordingWindowSystem ws(path);
        reduceToFile(r, photo, tableFor(r), 7, 5, path);
        ASSERT_EQ(ws.windows.size(), 1u);
        const auto& window = ws.windows[0];
        EXPECT_EQ(window.caption, "Checking / Adjusting color palette...");
        bool perColumn = r == Reduction::Diffused8 || r == Reduction::Diffused4;
        EXPECT_EQ(window.positions, (perColumn ? std::vector<int32_t>{0, 0, 14, 29, 43, 57, 71, 86, 100}
                                               : std::vector<int32_t>{0, 0, 20, 40, 60, 80, 100}));
        ASSERT_EQ(window.texts.size() + 1, window.positions.size());  // opening sets 0 without a text
        for (std::size_t i = 0; i < window.texts.size(); ++i)
            EXPECT_EQ(window.texts[i], " " + std::to_string(window.positions[i + 1]) + " %");
        Texts events = {"create (file)", "set (file)", "show (file)", "set (file)", "pump (file)"};
        for (std::size_t i = 2; i < window.positions.size(); ++i) events.insert(events.end(), {"set (no file)", "pump (no file)"});
        events.push_back(perColumn ? "destroy (file)" : "destroy (no file)");
        EXPECT_EQ(ws.events, events);
        EXPECT_EQ(readFile(path).size(), 54u + 5 * 24u);
    }
}

// A too small table is found while the colours are copied, before any
// window or file is touched, except by WriteBmp4, which reads its table at
// the first pixel and reports without a number.  A failed write closes the
// window before its one message; sizes that are not positive are refused;
// the next call works normally.
TEST(ReductionFailure, EachFailureShowsOneMessage) {
    ScratchDir dir;
    const Bytes photo = syntheticPicture(3, 3, 32);
    std::filesystem::create_directory(dir.file("sub"));
    const std::string path = dir.file("old.bmp");
    for (Reduction r : kAll) {
        SCOPED_TRACE(nameOf(r));
        const std::string prefix = "message Error in dll module " + nameOf(r);
        writeFile(path, {1});
        {
            RecordingWindowSystem ws(path);
            reduceToFile(r, deviceBits32({{1, 2, 3}}), Table(isPalm8(r) ? 255 : r == Reduction::Nearest4 ? 1 : 15), 1, 1, path);
            EXPECT_EQ(ws.events, (r != Reduction::Nearest4 ? Texts{prefix + " -  9 - Subscript out of range (file)"}
                                                           : Texts{"create (file)", "set (file)", "show (file)", "set (file)",
                                                                   "pump (file)", "destroy (no file)", prefix + " (no file)"}));
        }
        {
            RecordingWindowSystem ws;
            reduceToFile(r, photo, tableFor(r), 3, 3, dir.file("sub"));
            ASSERT_EQ(ws.messages.size(), 1u);
            EXPECT_EQ(ws.events.end()[-2], "destroy");
            EXPECT_TRUE(r == Reduction::Nearest4 ? ws.events.back() == prefix : ws.events.back().starts_with(prefix + " - "))
                << ws.events.back();
        }
        RecordingWindowSystem ws;
        for (auto [w, h] : {std::pair{0, 1}, {1, -1}}) reduceToFile(r, deviceBits32({{1, 2, 3}}), tableFor(r), w, h, dir.file("a.bmp"));
        EXPECT_FALSE(std::filesystem::exists(dir.file("a.bmp")));
        ASSERT_EQ(ws.messages.size(), 2u);
        EXPECT_TRUE(ws.messages[1].text.starts_with("Error in dll module "));
        ws.messages.clear();
        EXPECT_FALSE(reduceToFile(r, photo, tableFor(r), 3, 3, dir.file("ok.bmp")).empty());
        EXPECT_TRUE(ws.messages.empty());
    }
}

TEST(ProgressWindow, OpensClampsCancelsAndCloses) {
    RecordingWindowSystem ws;
    StringArg caption("Checking / Adjusting color palette..."), text(" 37 %");
    int32_t h = PROGRESS_INIT(0, &caption);
    ASSERT_NE(h, 0);
    EXPECT_EQ(std::tuple(ws.window(h).caption, ws.window(h).visible, ws.window(h).positions),
              std::tuple("Checking / Adjusting color palette...", true, std::vector<int32_t>{0}));
    EXPECT_EQ(PROGESS_IS_CANCELLED(h), 0);
    for (int32_t position : {37, 150, -5}) PROGRESS_SET(h, position, &text);
    EXPECT_EQ(ws.window(h).positions, (std::vector<int32_t>{0, 37, 100, 0}));
    EXPECT_EQ(ws.window(h).texts, Texts(3, " 37 %"));
    PROGRESS_SHUTDOWN(h);
    EXPECT_FALSE(ws.exists(h));
    EXPECT_EQ(PROGESS_IS_CANCELLED(h), 1);
    // Closed, hidden or cancel-labelled windows count as cancelled, and so
    // does an unknown handle; a label that merely starts with "cancel" does not.
    int32_t closed = PROGRESS_INIT(0, &caption), hidden = PROGRESS_INIT(0, &caption), labelled = PROGRESS_INIT(0, &caption);
    ws.close(closed), ws.window(hidden).visible = false, ws.window(labelled).cancelLabel = "cancelled";
    EXPECT_EQ(std::tuple(PROGESS_IS_CANCELLED(closed), PROGESS_IS_CANCELLED(hidden), PROGESS_IS_CANCELLED(labelled),
                         PROGESS_IS_CANCELLED(12345)), std::tuple(1, 1, 0, 1));
    ws.window(labelled).cancelLabel = "cancel";
    EXPECT_EQ(PROGESS_IS_CANCELLED(labelled), 1);
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
    // A reduction's meter without a window: two million single-precision
    // steps of 0.00005 add up to almost 102, yet no more than 100 is shown,
    // and 100 last.
    mireo::ProgressMeter meter(2000000);
    int32_t largest = 0;
    for (int i = 0; i < 2000000; ++i) meter.advance(), largest = std::max(largest, meter.percent());
    EXPECT_EQ(std::pair(largest, meter.percent()), std::pair(100, 100));
    testing::internal::CaptureStderr();
    StringArg missing("/nonexistent-folder-for-mireo/x.bmp"), left("Left");
    RotateImg(&missing, &left);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "mireocore: Error in dll module Rotate. Unable to find temporary image file.\n");
}
