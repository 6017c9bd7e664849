#include "rotate.h"

#include <cstring>

#include "bmp.h"
#include "errors.h"
#include "files.h"
#include "guard.h"
#include "numeric.h"

namespace mireo {

PackedPicture rotate90(const PackedPicture& in, bool left) {
    PackedPicture out{in.height, in.width, std::vector<uint8_t>(in.bytes.size())};
    const std::size_t w = static_cast<std::size_t>(in.width), h = static_cast<std::size_t>(in.height);
    for (std::size_t y = 0; y < h; ++y) {
        const uint8_t* src = in.bytes.data() + 3 * w * y;
        for (std::size_t x = 0; x < w; ++x, src += 3) {
            std::size_t c = left ? y : h - 1 - y;
            std::size_t r = left ? w - 1 - x : x;
            uint8_t* dst = out.bytes.data() + 3 * (h * r + c);
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    return out;
}

namespace {

// Header fields of a working file, checked against the file's own length
// before anything is allocated from them.
struct BmpLayout {
    int32_t width, height;
    std::size_t dataOffset;
};

BmpLayout readBmpLayout(const std::vector<uint8_t>& file) {
    if (file.size() < kBmpHeaderSize || file[0] != 'B' || file[1] != 'M') raise(kInputPastEnd, "not a BMP file");
    const uint8_t* h = file.data();
    auto width = static_cast<int32_t>(getLe32(h + 18));
    auto height = static_cast<int32_t>(getLe32(h + 22));
    uint32_t offset = getLe32(h + 10);
    if (getLe16(h + 28) != 24 || getLe32(h + 30) != 0) raise(kInvalidCall, "not an uncompressed 24-bit BMP");
    if (width <= 0 || height <= 0) raise(kInvalidCall, "picture size");
    if (offset < kBmpHeaderSize || offset > file.size()) raise(kInputPastEnd, "pixel data offset");
    checkBmpSize(width, height);
    return {width, height, offset};
}

}  // namespace
}  // namespace mireo

extern "C" MIREO_API void RotateImg(const MireoString* fileName, const MireoString* direction) {
    using namespace mireo;
    std::string path;
    bool found = guarded("Error in dll module Rotate - ", [&] { path = textOf(fileName); });
    if (!found) return;
    if (!fileExists(path)) {
        showMessage("Error in dll module Rotate. Unable to find temporary image file.");
        return;
    }
    guarded("Error in dll module Rotate - ", [&] {
        bool left = textOf(direction) == "Left";
        std::vector<uint8_t> file = readWholeFile(path);
        BmpLayout layout = readBmpLayout(file);
        PackedPicture picture = unPad(file.data() + layout.dataOffset, file.size() - layout.dataOffset,
                                      layout.width, layout.height);
        file = {};
        flipRows(picture);
        PackedPicture turned = rotate90(picture, left);
        picture = {};
        writeBmpFile(path, turned.width, turned.height, packBmpRows(std::move(turned)));
    });
}
