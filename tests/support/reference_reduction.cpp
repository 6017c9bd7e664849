#include "reference_reduction.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "bmp.h"

namespace mireo::test {
namespace {

using Picture = std::vector<std::vector<RefColour>>;  // rows of pixels

int channelOf(float v) { return static_cast<int>(std::nearbyint(v)) & 0xFF; }

// Picture rows, row 0 = top, through the library's device-bit decoder.
Picture loadPicture(const Bytes& bits, int32_t w, int32_t h, int32_t bpp) {
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
    if (auto exact = std::find(rows.begin(), rows.end(), RefColour{r, g, b}); exact != rows.end()) return int(exact - rows.begin());
    int best = 0, bestDistance = 765;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        if (int d = std::abs(r - rows[i].red) + std::abs(g - rows[i].green) + std::abs(b - rows[i].blue); d < bestDistance)
            best = i, bestDistance = d;
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

Bytes referenceBmp(Reduction reduction, const Bytes& bits, const Table& table, int32_t width, int32_t height,
                   int32_t bitsPerPixel) {
    Picture picture = loadPicture(bits, width, height, bitsPerPixel);
    std::reverse(picture.begin(), picture.end());  // bottom row first, as the file stores it
    if (reduction == Reduction::Diffused8 || reduction == Reduction::Diffused4) {
        picture = diffused(std::move(picture), referenceColours(table, reduction == Reduction::Diffused8 ? 256 : 16));
    } else {
        auto colours = referenceColours(table, reduction == Reduction::Nearest8 ? 256 : table.entries());
        auto rows = referenceRows(table);
        for (auto& row : picture)
            for (RefColour& c : row)
                c = colours[std::size_t(reduction == Reduction::Nearest8 ? referenceSad(colours, c.red, c.green, c.blue)
                                                                         : referenceSquared(rows, c.red, c.green, c.blue))];
    }
    auto header = bmpHeader(width, height);
    Bytes file(header.begin(), header.end());
    for (const auto& row : picture) {
        for (const RefColour& c : row) file.insert(file.end(), {uint8_t(c.blue), uint8_t(c.green), uint8_t(c.red)});
        file.insert(file.end(), static_cast<std::size_t>(rowPad(width)), 0);
    }
    return file;
}

Bytes deviceBits32(const std::vector<RefColour>& pixels) {
    Bytes bits;
    for (const RefColour& c : pixels) bits.insert(bits.end(), {uint8_t(c.blue), uint8_t(c.green), uint8_t(c.red), 0xEE});
    return bits;
}

Bytes syntheticPicture(int32_t width, int32_t height, int32_t bitsPerPixel, uint32_t seed) {
    // xorshift32: a fixed generator, so pictures do not depend on the
    // standard library's distributions.  A value in -amplitude..amplitude.
    uint32_t state = seed ? seed : 0x9E3779B9u;
    auto noise = [&](int amplitude) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return static_cast<int>(state % static_cast<uint32_t>(2 * amplitude + 1)) - amplitude;
    };
    Bytes bits;
    auto put = [&](double red, double green, double blue) {
        auto channel = [](double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
        uint8_t r = channel(red), g = channel(green), b = channel(blue);
        unsigned word = unsigned(r >> 3) << 11 | unsigned(g >> 2) << 5 | unsigned(b >> 3);
        if (bitsPerPixel == 16) bits.insert(bits.end(), {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)});
        else bits.insert(bits.end(), {b, g, r});
        if (bitsPerPixel == 32) bits.push_back(0xFF);
    };
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            double fx = double(x) / width, fy = double(y) / height, d = std::hypot(fx - 0.35, fy - 0.45);
            if (fy < 0.12) put(120, 170, 230);  // flat patches: a sky band and two solid blocks
            else if (fx > 0.70 && fx < 0.85 && fy > 0.20 && fy < 0.35) put(200, 40, 40);
            else if (fx < 0.15 && fy > 0.80) put(30, 30, 30);
            else if (d < 0.2) put(90 + 160 * (1 - d / 0.2), 60 + 120 * (1 - d / 0.2), 20 + 40 * (1 - d / 0.2));  // a disc
            else {  // a gradient with noisy texture in the lower half
                int grain = fy > 0.5 ? 14 : 3, nr = noise(grain), ng = noise(grain), nb = noise(grain);
                put(255 * fx + nr, 200 * fy + 40 * fx + ng, 255 * (1 - fx) * fy + 60 + nb);
            }
        }
    return bits;
}

}  // namespace mireo::test
