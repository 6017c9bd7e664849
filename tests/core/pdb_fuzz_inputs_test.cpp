// The fuzzer's seed databases, which the tests write themselves
// (MIREO_WRITE_FUZZ_CORPUS=1 rewrites them), must all decode.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "bmp.h"
#include "pdb_reader.h"
#include "rotate.h"
#include "test_support.h"

using namespace mireo::test;
namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = fs::path(MIREO_SOURCE_DIR) / "fuzz" / "corpus" / "read_vtbi";

// Small pictures at every depth, raw and compressed, in blocks of a few
// rows: bands of noise and flat colour (PackBits wins), one noisy row
// repeated (scanline wins) and wide flat rows (RLE wins).
enum class Pattern { kBands, kRepeatedRow, kWideFlat };

std::vector<uint8_t> picture(int32_t w, int32_t h, Pattern pattern) {
    std::vector<uint8_t> bgr(std::size_t(3 * w * h));
    uint32_t seed = 5;
    auto rowBytes = std::size_t(3 * w);
    for (std::size_t i = 0; i < bgr.size(); ++i) {
        seed = seed * 1664525 + 1013904223;
        auto noise = static_cast<uint8_t>(seed >> 24);
        switch (pattern) {
        case Pattern::kBands: bgr[i] = (i / rowBytes) % 3 == 0 ? noise : 0xCC; break;
        case Pattern::kRepeatedRow: bgr[i] = i < rowBytes ? noise : bgr[i % rowBytes]; break;
        case Pattern::kWideFlat: bgr[i] = (i / rowBytes) % 2 ? 0x00 : 0xFF; break;
        }
    }
    return bgr;
}

void writeCorpus(const PaletteTable& grey, const PaletteTable& palm8) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    setenv("SOURCE_DATE_EPOCH", "0", 1);
    struct Shape {
        int32_t w, h, blockSize;
        Pattern pattern;
        const char* label;
    } shapes[] = {{5, 3, 100, Pattern::kBands, "bands"},
                  {17, 9, 80, Pattern::kBands, "bands"},
                  {33, 20, 200, Pattern::kBands, "bands"},
                  {40, 12, 400, Pattern::kRepeatedRow, "repeated"},
                  {600, 4, 2400, Pattern::kWideFlat, "flat"}};
    for (int16_t depth : {int16_t{16}, int16_t{8}, int16_t{4}})
        for (int16_t compress : {int16_t{0}, int16_t{1}})
            for (const Shape& s : shapes) {
                std::string src = dir.file("src.bmp");
                mireo::writeBmpFile(src, s.w, s.h, mireo::packBmpRows({s.w, s.h, picture(s.w, s.h, s.pattern)}));
                std::string name = std::to_string(s.w) + "x" + std::to_string(s.h) + "-" + s.label + "-" +
                                   std::to_string(depth) + (compress ? "-packed" : "-raw") + ".pdb";
                StringArg srcArg(src), out((kCorpus / name).string()), dbName("seed", 32);
                int32_t w = s.w, h = s.h, block = s.blockSize, size = 0;
                CompilePDB(&srcArg, &grey, &palm8, &w, &h, &depth, dbName.get(), &out, &compress, &block, &size);
            }
    unsetenv("SOURCE_DATE_EPOCH");
}

}  // namespace

TEST(ReadVtbiFuzzSeeds, EverySeedIsADatabaseThatDecodes) {
    PaletteTable grey(17), palm8(257);
    fillGrey16(grey);
    fillPalm8(palm8);
    if (std::getenv("MIREO_WRITE_FUZZ_CORPUS")) writeCorpus(grey, palm8);
    ASSERT_TRUE(fs::is_directory(kCorpus));
    std::size_t seeds = 0, bytes = 0;
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        auto file = readFile(entry.path().string());
        bytes += file.size();
        ++seeds;
        auto picture = mireo::decodeDatabase(file, &grey, &palm8);
        EXPECT_EQ(picture.bytes.size(), std::size_t(3 * picture.width * picture.height)) << entry.path();
    }
    EXPECT_GE(seeds, 30u);
    EXPECT_LT(bytes, 300u * 1024u);
}
