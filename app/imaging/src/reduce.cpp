#include "imaging/reduce.h"

#include <filesystem>
#include <stdexcept>

#include "imaging/capture.h"
#include "imaging/library_args.h"
#include "mireocore.h"

namespace mireo::imaging {

bool writeReducedBmp(const QImage& picture, int depth, Method method, const std::string& bmpPath,
                     const Palettes& palettes) {
    if (depth != 16 && depth != 8 && depth != 4) throw std::invalid_argument("depth must be 16, 8 or 4");
    std::error_code ignored;
    std::filesystem::remove(bmpPath, ignored);

    std::vector<uint8_t> bits = captureDeviceBits(picture);
    MireoArray bitsArg = byteArrayOf(bits);
    int32_t width = picture.width(), height = picture.height(), bitsPerPixel = kCaptureBitsPerPixel;
    LibraryString file(bmpPath);
    bool diffused = method == Method::Diffused;
    if (depth == 16) {
        WriteBmp24(&bitsArg, &width, &height, file.get(), &bitsPerPixel);
    } else if (depth == 8) {
        MireoArray palette = palettes.palm8.descriptor();
        (diffused ? WriteBmp8dith : WriteBmp8)(&bitsArg, &palette, &width, &height, file.get(), &bitsPerPixel);
    } else {
        MireoArray palette = palettes.grey16.descriptor();
        (diffused ? WriteBmp4dith : WriteBmp4)(&bitsArg, &palette, &width, &height, file.get(), &bitsPerPixel);
    }
    return std::filesystem::exists(bmpPath);
}

}  // namespace mireo::imaging
