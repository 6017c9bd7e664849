#include "reference_reduction.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "bmp.h"

namespace mireo::test {
namespace {

float tableValue(const PaletteTable& table, int32_t row, int channel) {
    return table.values[static_cast<std::size_t>(channel * table.entries() + row)];
}

int channelOf(float v) { return static_cast<int>(std::nearbyint(v)) & 0xFF; }

// Picture rows as RefColour, row 0 = top, through the library's device-bit decoder.
std::vector<std::vector<RefColour>> loadPicture(const std::vector<uint8_t>& bits, int32_t w, int32_t h, int32_t bpp) {
    Grid grid = loadDeviceBits(ByteView{bits.data(), bits.size()}, w, h, bpp);
    std::vector<std::vector<RefColour>> rows(static_cast<std::size_t>(h), std::vector<RefColour>(static_cast<std::size_t>(w)));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* p = grid.row(y) + 3 * x;
            rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = {p[2], p[1], p[0]};
        }
    return rows;
}

std::vector<uint8_t> bmpOf(const std::vector<std::vector<RefColour>>& bottomFirst, int32_t w, int32_t h) {
    auto header = bmpHeader(w, h);
    std::vector<uint8_t> file(header.begin(), header.end());
    for (const auto& row : bottomFirst) {
        for (const RefColour& c : row)
            file.insert(file.end(), {uint8_t(c.blue), uint8_t(c.green), uint8_t(c.red)});
        file.insert(file.end(), static_cast<std::size_t>(rowPad(w)), 0);
    }
    return file;
}

std::vector<std::vector<RefColour>> nearestSquared(std::vector<std::vector<RefColour>> picture,
                                                   const std::vector<std::array<float, 3>>& table) {
    for (auto& row : picture)
        for (RefColour& c : row) {
            const auto& chosen = table[static_cast<std::size_t>(referenceSquared(table, c.red, c.green, c.blue))];
            c = {channelOf(chosen[0]), channelOf(chosen[1]), channelOf(chosen[2])};
        }
    return picture;
}

std::vector<std::vector<RefColour>> nearestSad(std::vector<std::vector<RefColour>> picture,
                                               const std::vector<RefColour>& table) {
    for (auto& row : picture)
        for (RefColour& c : row) c = table[static_cast<std::size_t>(referenceSad(table, c.red, c.green, c.blue))];
    return picture;
}

// Value grid and output grid, both bottom row first; columns left to
// right, each column from the bottom up.
std::vector<std::vector<RefColour>> diffused(std::vector<std::vector<RefColour>> value, const std::vector<RefColour>& table) {
    const int h = static_cast<int>(value.size()), w = static_cast<int>(value[0].size());
    auto output = value;
    auto spread = [](int& channel, int error, int weight) { channel = std::clamp(channel + weight * error / 16, 0, 255); };
    for (int c = 0; c < w; ++c)
        for (int r = 0; r < h; ++r) {
            RefColour v = value[r][c];
            RefColour chosen = table[static_cast<std::size_t>(referenceSad(table, v.red, v.green, v.blue))];
            output[r][c] = chosen;
            int er = v.red - chosen.red, eg = v.green - chosen.green, eb = v.blue - chosen.blue;
            if (std::abs(er) + std::abs(eg) + std::abs(eb) <= 3) continue;
            if (c + 1 <= w - 2) {
                RefColour& right = value[r][c + 1];
                spread(right.red, er, 7), spread(right.green, eg, 7), spread(right.blue, eb, 7);
            }
            if (r < h - 1 && c >= 1 && c <= w - 2) {
                RefColour& above = value[r + 1][c];
                spread(above.red, er, 4), spread(above.green, eg, 4), spread(above.blue, eb, 4);
            }
        }
    return output;
}

}  // namespace

std::vector<RefColour> referenceColours(const PaletteTable& table, int32_t count) {
    std::vector<RefColour> rows;
    for (int32_t i = 0; i < count; ++i)
        rows.push_back({channelOf(tableValue(table, i, 0)), channelOf(tableValue(table, i, 1)),
                        channelOf(tableValue(table, i, 2))});
    return rows;
}

std::vector<std::array<float, 3>> referenceRows(const PaletteTable& table) {
    std::vector<std::array<float, 3>> rows;
    for (int32_t i = 0; i < table.entries(); ++i)
        rows.push_back({tableValue(table, i, 0), tableValue(table, i, 1), tableValue(table, i, 2)});
    return rows;
}

int referenceSad(const std::vector<RefColour>& rows, int r, int g, int b) {
    const int n = static_cast<int>(rows.size());
    for (int i = 0; i < n; ++i)
        if (rows[i].red == r && rows[i].green == g && rows[i].blue == b) return i;
    int best = 0, bestDistance = 765;
    for (int i = 0; i < n; ++i) {
        int d = std::abs(r - rows[i].red) + std::abs(g - rows[i].green) + std::abs(b - rows[i].blue);
        if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

int referenceSquared(const std::vector<std::array<float, 3>>& rows, int r, int g, int b) {
    auto distance = [&](const std::array<float, 3>& row) {
        double dr = double(r) - row[0], dg = double(g) - row[1], db = double(b) - row[2];
        return std::nearbyint(dr * dr + dg * dg + db * db);
    };
    const int n = static_cast<int>(rows.size());
    int best = n - 2;
    double bestDistance = distance(rows[static_cast<std::size_t>(best)]);
    for (int i = 0; i < n; ++i) {
        double d = distance(rows[static_cast<std::size_t>(i)]);
        if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

std::vector<uint8_t> referenceBmp(Reduction reduction, const std::vector<uint8_t>& bits, const PaletteTable& table,
                                  int32_t width, int32_t height, int32_t bitsPerPixel) {
    auto picture = loadPicture(bits, width, height, bitsPerPixel);
    switch (reduction) {
        case Reduction::Nearest8:
            picture = nearestSad(std::move(picture), referenceColours(table, 256));
            break;
        case Reduction::Nearest4:
            picture = nearestSquared(std::move(picture), referenceRows(table));
            break;
        case Reduction::Diffused8:
        case Reduction::Diffused4: {
            std::reverse(picture.begin(), picture.end());
            int32_t rows = reduction == Reduction::Diffused8 ? 256 : 16;
            auto output = diffused(std::move(picture), referenceColours(table, rows));
            return bmpOf(output, width, height);
        }
    }
    std::reverse(picture.begin(), picture.end());
    return bmpOf(picture, width, height);
}

void PrintTo(const RefColour& c, std::ostream* os) { *os << "(" << c.red << ", " << c.green << ", " << c.blue << ")"; }

std::vector<uint8_t> deviceBits32(const std::vector<RefColour>& pixels) {
    std::vector<uint8_t> bits;
    for (const RefColour& c : pixels) bits.insert(bits.end(), {uint8_t(c.blue), uint8_t(c.green), uint8_t(c.red), 0xEE});
    return bits;
}

std::vector<RefColour> filePixels(const std::vector<uint8_t>& file, int32_t width, int32_t height) {
    const std::size_t rowBytes = static_cast<std::size_t>(paddedRowBytes(width));
    EXPECT_EQ(file.size(), kBmpHeaderSize + rowBytes * static_cast<std::size_t>(height));
    if (file.size() != kBmpHeaderSize + rowBytes * static_cast<std::size_t>(height)) return {};
    std::vector<RefColour> pixels;
    for (int32_t y = height - 1; y >= 0; --y) {
        const uint8_t* row = file.data() + kBmpHeaderSize + rowBytes * static_cast<std::size_t>(y);
        for (int32_t x = 0; x < width; ++x) pixels.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
        for (std::size_t pad = std::size_t(3) * width; pad < rowBytes; ++pad) EXPECT_EQ(row[pad], 0) << "pad byte";
    }
    return pixels;
}

ReductionExport exportOf(Reduction reduction) {
    switch (reduction) {
        case Reduction::Nearest8: return WriteBmp8;
        case Reduction::Diffused8: return WriteBmp8dith;
        case Reduction::Nearest4: return WriteBmp4;
        case Reduction::Diffused4: return WriteBmp4dith;
    }
    return nullptr;
}

std::vector<uint8_t> reduceToFile(Reduction reduction, std::vector<uint8_t> bits, const PaletteTable& table,
                                  int32_t width, int32_t height, const std::string& path, int32_t bitsPerPixel) {
    MireoArray array = byteArray(bits);
    StringArg name(path);
    exportOf(reduction)(&array, &table, &width, &height, &name, &bitsPerPixel);
    if (!std::filesystem::is_regular_file(path)) return {};
    return readFile(path);
}

}  // namespace mireo::test
