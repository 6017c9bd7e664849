#include "reference_reduction.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "bmp.h"

namespace mireo::test {
namespace {

using Picture = std::vector<std::vector<RefColour>>;  // rows of pixels

int channelOf(float v) { return static_cast<int>(std::nearbyint(v)) & 0xFF; }

// Picture rows, row 0 = top, through the library's device-bit decoder.
Picture loadPicture(const std::vector<uint8_t>& bits, int32_t w, int32_t h, int32_t bpp) {
    Grid grid = loadDeviceBits(ByteView{bits.data(), bits.size()}, w, h, bpp);
    Picture rows(static_cast<std::size_t>(h));
    for (int32_t y = 0; y < h; ++y)
        for (const uint8_t* p = grid.row(y); p < grid.row(y) + 3 * w; p += 3) rows[y].push_back({p[2], p[1], p[0]});
    return rows;
}

// Value grid and output grid, both bottom row first; columns left to
// right, each column from the bottom up.
Picture diffused(Picture value, const std::vector<RefColour>& table) {
    const int h = static_cast<int>(value.size()), w = static_cast<int>(value[0].size());
    auto output = value;
    auto spread = [](RefColour& to, int er, int eg, int eb, int weight) {
        to = {std::clamp(to.red + weight * er / 16, 0, 255), std::clamp(to.green + weight * eg / 16, 0, 255),
              std::clamp(to.blue + weight * eb / 16, 0, 255)};
    };
    for (int c = 0; c < w; ++c)
        for (int r = 0; r < h; ++r) {
            RefColour v = value[r][c], chosen = table[std::size_t(referenceSad(table, v.red, v.green, v.blue))];
            output[r][c] = chosen;
            int er = v.red - chosen.red, eg = v.green - chosen.green, eb = v.blue - chosen.blue;
            if (std::abs(er) + std::abs(eg) + std::abs(eb) <= 3) continue;
            if (c + 1 <= w - 2) spread(value[r][c + 1], er, eg, eb, 7);
            if (r < h - 1 && c >= 1 && c <= w - 2) spread(value[r + 1][c], er, eg, eb, 4);
        }
    return output;
}

}  // namespace

std::vector<RefColour> referenceColours(const Table& table, int32_t count) {
    std::vector<RefColour> rows;
    for (int32_t i = 0; i < count; ++i)
        rows.push_back({channelOf(table.values.at(i, 0)), channelOf(table.values.at(i, 1)), channelOf(table.values.at(i, 2))});
    return rows;
}

std::vector<std::array<float, 3>> referenceRows(const Table& table) {
    std::vector<std::array<float, 3>> rows;
    for (int32_t i = 0; i < table.entries(); ++i)
        rows.push_back({table.values.at(i, 0), table.values.at(i, 1), table.values.at(i, 2)});
    return rows;
}

int referenceSad(const std::vector<RefColour>& rows, int r, int g, int b) {
    const int n = static_cast<int>(rows.size());
    for (int i = 0; i < n; ++i)
        if (rows[i] == RefColour{r, g, b}) return i;
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
    int best = static_cast<int>(rows.size()) - 2;
    double bestDistance = distance(rows[static_cast<std::size_t>(best)]);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        if (double d = distance(rows[static_cast<std::size_t>(i)]); d < bestDistance) best = i, bestDistance = d;
    return best;
}

std::vector<uint8_t> referenceBmp(Reduction reduction, const std::vector<uint8_t>& bits, const Table& table,
                                  int32_t width, int32_t height, int32_t bitsPerPixel) {
    Picture picture = loadPicture(bits, width, height, bitsPerPixel);
    std::reverse(picture.begin(), picture.end());  // bottom row first, as the file stores it
    if (reduction == Reduction::Diffused8 || reduction == Reduction::Diffused4) {
        picture = diffused(std::move(picture), referenceColours(table, reduction == Reduction::Diffused8 ? 256 : 16));
    } else {
        auto colours = referenceColours(table, 256 * (reduction == Reduction::Nearest8));
        auto rows = referenceRows(table);
        for (auto& row : picture)
            for (RefColour& c : row) {
                if (reduction == Reduction::Nearest8) {
                    c = colours[std::size_t(referenceSad(colours, c.red, c.green, c.blue))];
                } else {
                    const auto& chosen = rows[std::size_t(referenceSquared(rows, c.red, c.green, c.blue))];
                    c = {channelOf(chosen[0]), channelOf(chosen[1]), channelOf(chosen[2])};
                }
            }
    }
    auto header = bmpHeader(width, height);
    std::vector<uint8_t> file(header.begin(), header.end());
    for (const auto& row : picture) {
        for (const RefColour& c : row) file.insert(file.end(), {uint8_t(c.blue), uint8_t(c.green), uint8_t(c.red)});
        file.insert(file.end(), static_cast<std::size_t>(rowPad(width)), 0);
    }
    return file;
}

void PrintTo(const RefColour& c, std::ostream* os) { *os << "(" << c.red << ", " << c.green << ", " << c.blue << ")"; }

std::vector<uint8_t> deviceBits32(const std::vector<RefColour>& pixels) {
    std::vector<uint8_t> bits;
    for (const RefColour& c : pixels) bits.insert(bits.end(), {uint8_t(c.blue), uint8_t(c.green), uint8_t(c.red), 0xEE});
    return bits;
}

std::vector<RefColour> filePixels(const std::vector<uint8_t>& file, int32_t width, int32_t height) {
    const auto rowBytes = static_cast<std::size_t>(paddedRowBytes(width));
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
    const ReductionExport exports[] = {WriteBmp8, WriteBmp8dith, WriteBmp4, WriteBmp4dith};
    return exports[static_cast<int>(reduction)];
}

std::vector<uint8_t> reduceToFile(Reduction reduction, std::vector<uint8_t> bits, const Table& table, int32_t width,
                                  int32_t height, const std::string& path, int32_t bitsPerPixel) {
    MireoArray array = byteArray(bits);
    StringArg name(path);
    exportOf(reduction)(&array, table.arg(), &width, &height, &name, &bitsPerPixel);
    return std::filesystem::is_regular_file(path) ? readFile(path) : std::vector<uint8_t>{};
}

}  // namespace mireo::test
