// CompilePDB then ReadVTBI gives back the reduced picture exactly, at every
// depth and width, with and without compression.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "bmp.h"
#include "numeric.h"
#include "packed_picture.h"
#include "test_support.h"

using namespace mireo::test;

namespace {

const int32_t kWidths[] = {1, 2, 3, 5, 7, 8, 15, 16, 17, 31, 33, 63, 64, 65, 127, 161, 162, 255, 320, 479, 480, 599, 600};

// Colours of one pixel, drawn in runs so that the encoders find work.
class PictureSource {
public:
    explicit PictureSource(uint32_t seed) : random_(seed) {}
    std::vector<uint8_t> bgr(int32_t w, int32_t h, int16_t depth) {
        std::vector<uint8_t> out;
        std::array<uint8_t, 3> colour{};
        int left = 0;
        for (int32_t p = 0; p < w * h; ++p) {
            if (left-- <= 0) {
                colour = draw(depth);
                left = std::uniform_int_distribution<int>(0, 3)(random_) == 0 ? 40 : 1;
            }
            out.insert(out.end(), colour.begin(), colour.end());
        }
        return out;
    }

private:
    // At 8 and 4 bits a palette colour, so that the reduction is exact.
    std::array<uint8_t, 3> draw(int16_t depth) {
        if (depth == 8) {
            int e = std::uniform_int_distribution<int>(0, 229)(random_);
            return {static_cast<uint8_t>(palm.values[std::size_t(2 * 257 + e)]),
                    static_cast<uint8_t>(palm.values[std::size_t(257 + e)]),
                    static_cast<uint8_t>(palm.values[std::size_t(e)])};
        }
        if (depth == 4) {
            auto v = static_cast<uint8_t>(255 - 17 * std::uniform_int_distribution<int>(0, 15)(random_));
            return {v, v, v};
        }
        std::uniform_int_distribution<int> byte(0, 255);
        return {static_cast<uint8_t>(byte(random_)), static_cast<uint8_t>(byte(random_)),
                static_cast<uint8_t>(byte(random_))};
    }

public:
    PaletteTable palm{257};

private:
    std::mt19937 random_;
};

// What RGB565 keeps of a 24-bit colour, expanded back to 8 bits a channel.
std::vector<uint8_t> through565(std::vector<uint8_t> bgr) {
    for (std::size_t i = 0; i < bgr.size(); i += 3) {
        bgr[i] = static_cast<uint8_t>(std::lround((bgr[i] >> 3) * 255.0 / 31));
        bgr[i + 1] = static_cast<uint8_t>(std::lround((bgr[i + 1] >> 2) * 255.0 / 63));
        bgr[i + 2] = static_cast<uint8_t>(std::lround((bgr[i + 2] >> 3) * 255.0 / 31));
    }
    return bgr;
}

}  // namespace

TEST(PdbRoundTrip, EveryWidthAndDepthComesBackExactly) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    PaletteTable grey(17);
    fillGrey16(grey);
    PictureSource pictures(2024);
    fillPalm8(pictures.palm);
    const int32_t h = 9;
    int compressedBlocks = 0;
    for (int16_t depth : {int16_t{16}, int16_t{8}, int16_t{4}}) {
        for (int32_t w : kWidths) {
            auto bgr = pictures.bgr(w, h, depth);
            std::string src = dir.file("src.bmp");
            mireo::writeBmpFile(src, w, h, mireo::packBmpRows({w, h, bgr}));
            std::vector<uint8_t> bmps[2];
            for (int16_t compress : {int16_t{0}, int16_t{1}}) {
                StringArg srcArg(src), pdb(dir.file("rt.pdb")), bmp(dir.file("rt.bmp")), name("rt", 32);
                int32_t width = w, height = h, blockSize = 4000, size = 0;
                CompilePDB(&srcArg, &grey, &pictures.palm, &width, &height, &depth, name.get(), &pdb, &compress,
                           &blockSize, &size);
                auto file = readFile(dir.file("rt.pdb"));
                for (std::size_t k = 1; k < mireo::getBe16(&file[76]); ++k)
                    compressedBlocks += file[mireo::getBe32(&file[78 + 8 * k]) + 15] != 0;
                int16_t stored = 0;
                ReadVTBI(&grey, &pictures.palm, &pdb, &bmp, &stored);
                ASSERT_TRUE(ws.messages.empty()) << ws.messages[0].text << " width " << w << " depth " << depth;
                EXPECT_EQ(stored, depth);
                bmps[compress] = readFile(dir.file("rt.bmp"));
            }
            auto back = mireo::unPad(bmps[0].data() + 54, bmps[0].size() - 54, w, h);
            mireo::flipRows(back);
            EXPECT_EQ(back.bytes, depth == 16 ? through565(bgr) : bgr) << "width " << w << " depth " << depth;
            EXPECT_EQ(bmps[0], bmps[1]) << "width " << w << " depth " << depth;
        }
    }
    EXPECT_GT(compressedBlocks, 50) << "the compressed databases must use the encoders";
}
