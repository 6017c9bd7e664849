#include "database_picture.h"

#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <stdexcept>

#include "imaging/library_args.h"
#include "imaging/linked_library.h"
#include "imaging/palettes.h"
#include "imaging/replacement_file.h"

namespace fs = std::filesystem;

namespace mireo::cli {

bool wantsPng(const fs::path& file) {
    std::string extension = file.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".png";
}

std::optional<int> decodeDatabase(const std::string& pdb, const fs::path& bmp, Console& console) {
    imaging::Palettes palettes;
    MireoArray grey = palettes.grey16.descriptor(), palm8 = palettes.palm8.descriptor();
    imaging::LibraryString pdbPath(pdb), bmpPath(bmp.string());
    int16_t depth = 0;
    std::size_t before = console.messageCount();
    imaging::linkedLibrary().ReadVTBI(&grey, &palm8, pdbPath.get(), bmpPath.get(), &depth);
    std::error_code ignored;
    if (console.messageCount() != before || !fs::is_regular_file(bmp, ignored)) return std::nullopt;
    return depth;
}

void writePngFrom(const fs::path& bmp, const fs::path& png) {
    QImageReader reader(QString::fromStdString(bmp.string()), "bmp");
    QImage picture = reader.read();
    if (picture.isNull()) throw std::runtime_error("The decoded picture could not be read back: " +
                                                   reader.errorString().toStdString());
    QImageWriter writer(QString::fromStdString(png.string()), "png");
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB32)))
        throw std::runtime_error("Unable to write the PNG file: " + writer.errorString().toStdString());
}

std::optional<int> savePictureOf(const std::string& pdb, const fs::path& target, Console& console) {
    imaging::ReplacementFile result(target);
    if (!wantsPng(target)) {
        std::optional<int> depth = decodeDatabase(pdb, result.path(), console);
        if (depth) result.commit();
        return depth;
    }
    // The BMP the library writes becomes the PNG beside it; both are hidden
    // until the PNG is complete.
    imaging::ReplacementFile bmp(target);
    std::optional<int> depth = decodeDatabase(pdb, bmp.path(), console);
    if (!depth) return std::nullopt;
    writePngFrom(bmp.path(), result.path());
    result.commit();
    return depth;
}

}  // namespace mireo::cli
