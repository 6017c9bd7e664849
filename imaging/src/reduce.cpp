#include "imaging/reduce.h"

#include <filesystem>
#include <stdexcept>

#include "imaging/capture.h"
#include "imaging/library_args.h"

namespace mireo::imaging {

bool writeReducedBmp(const Library& library, std::vector<uint8_t>& bits, int32_t width, int32_t height, int depth,
                     Method method, const std::string& bmpPath, const PaletteTable& grey16, const PaletteTable& palm8) {
    if (depth != 16 && depth != 8 && depth != 4) throw std::invalid_argument("depth must be 16, 8 or 4");
    std::error_code ignored;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(bmpPath, ignored))) std::filesystem::remove(bmpPath, ignored);

    MireoArray bitsArg = byteArrayOf(bits);
    int32_t bitsPerPixel = kCaptureBitsPerPixel;
    LibraryString file(bmpPath);
    const bool diffused = method == Method::Diffused;
    if (depth == 16) {
        library.WriteBmp24(&bitsArg, &width, &height, file.get(), &bitsPerPixel);
    } else {
        MireoArray palette = (depth == 8 ? palm8 : grey16).descriptor();
        auto reduce = depth == 8 ? (diffused ? library.WriteBmp8dith : library.WriteBmp8)
                                 : (diffused ? library.WriteBmp4dith : library.WriteBmp4);
        reduce(&bitsArg, &palette, &width, &height, file.get(), &bitsPerPixel);
    }
    return std::filesystem::is_regular_file(bmpPath, ignored);
}

bool writeReducedBmp(const Library& library, const QImage& picture, int depth, Method method,
                     const std::string& bmpPath, const PaletteTable& grey16, const PaletteTable& palm8) {
    std::vector<uint8_t> bits = captureDeviceBits(previewSource(picture, depth));
    return writeReducedBmp(library, bits, picture.width(), picture.height(), depth, method, bmpPath, grey16, palm8);
}

}  // namespace mireo::imaging
