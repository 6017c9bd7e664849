// WriteBmp8 and WriteBmp4: every pixel replaced by its nearest table colour.
#include <string>
#include <vector>

#include "args.h"
#include "bmp.h"
#include "files.h"
#include "guard.h"
#include "nearest_sad.h"
#include "nearest_squared.h"
#include "progress_meter.h"
#include "reduce_palette.h"

namespace mireo {
namespace {

// BMP pixel data (bottom row first, padded rows) from a grid whose row 0 is
// the top row, each pixel replaced by `pick(red, green, blue)`; the progress
// advances once per row.  A pixel like its left neighbour (flat areas) takes
// the neighbour's result.
template <class Pick>
std::vector<uint8_t> reducedRows(const Grid& grid, ProgressMeter& progress, Pick&& pick) {
    auto padded = static_cast<std::size_t>(paddedRowBytes(grid.width));
    std::vector<uint8_t> data(padded * static_cast<std::size_t>(grid.height));
    uint8_t* out = data.data();
    for (int32_t r = grid.height - 1; r >= 0; --r, out += padded) {
        const uint8_t* in = grid.row(r);
        Bgr c = pick(in[2], in[1], in[0]);
        for (std::size_t x = 0; x < grid.rowBytes(); x += 3) {
            if (x > 0 && (in[x] != in[x - 3] || in[x + 1] != in[x - 2] || in[x + 2] != in[x - 1]))
                c = pick(in[x + 2], in[x + 1], in[x]);
            out[x] = c.blue;
            out[x + 1] = c.green;
            out[x + 2] = c.red;
        }
        progress.advance();
    }
    return data;
}

// The byte colour of each table row, worked out when the row is first
// chosen: a row that is never chosen cannot fail the reduction.
class ChosenColours {
public:
    explicit ChosenColours(const NearestSquared& table)
        : table_(table), colours_(table.rowCount()), known_(table.rowCount(), 0) {}
    Bgr operator()(uint32_t row) {
        if (!known_[row]) {
            const FloatRgb& c = table_.row(row);
            colours_[row] = Bgr{paletteChannel(c.blue), paletteChannel(c.green), paletteChannel(c.red)};
            known_[row] = 1;
        }
        return colours_[row];
    }

private:
    const NearestSquared& table_;
    std::vector<Bgr> colours_;
    std::vector<uint8_t> known_;
};

struct Request {
    int32_t width, height, bitsPerPixel;
    std::string path;
};

Request requestOf(const int32_t* width, const int32_t* height, const MireoString* fileName,
                  const int32_t* bitsPerPixel) {
    Request q{valueOf(width), valueOf(height), valueOf(bitsPerPixel), textOf(fileName)};
    checkBmpSize(q.width, q.height);
    return q;
}

}  // namespace
}  // namespace mireo

extern "C" MIREO_API void WriteBmp8(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                                    const int32_t* height, const MireoString* fileName, const int32_t* bitsPerPixel) {
    using namespace mireo;
    guarded("Error in dll module WriteBmp8 - ", [&] {
        NearestSad nearest(paletteColours(PaletteView(palette), 256));
        Request q = requestOf(width, height, fileName, bitsPerPixel);
        ProgressMeter progress(q.height);
        if (!progress.open()) return;
        deleteIfExists(q.path);
        Grid grid = loadDeviceBits(bytesOf(bits), q.width, q.height, q.bitsPerPixel);
        std::vector<uint8_t> data = reducedRows(grid, progress, [&](uint8_t r, uint8_t g, uint8_t b) {
            return nearest.colour(nearest.find(r, g, b));
        });
        progress.close();
        writeBmpFile(q.path, q.width, q.height, data);
    });
}

// The grey table is read at the first pixel, after the old file is gone, and
// every row of it takes part; a failure shows the bare prefix.
extern "C" MIREO_API void WriteBmp4(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                                    const int32_t* height, const MireoString* fileName, const int32_t* bitsPerPixel) {
    using namespace mireo;
    guarded(
        "Error in dll module WriteBmp4",
        [&] {
            Request q = requestOf(width, height, fileName, bitsPerPixel);
            ProgressMeter progress(q.height);
            if (!progress.open()) return;
            deleteIfExists(q.path);
            Grid grid = loadDeviceBits(bytesOf(bits), q.width, q.height, q.bitsPerPixel);
            NearestSquared nearest(paletteRows(PaletteView(palette)));
            ChosenColours colourOf(nearest);
            std::vector<uint8_t> data = reducedRows(
                grid, progress, [&](uint8_t r, uint8_t g, uint8_t b) { return colourOf(nearest.find(r, g, b)); });
            progress.close();
            writeBmpFile(q.path, q.width, q.height, data);
        },
        false);
}
