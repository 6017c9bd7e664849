// ReadVTBI: a background-image database back into a 24-bit working file.
#include "args.h"
#include "bmp.h"
#include "codec_messages.h"
#include "files.h"
#include "guard.h"
#include "pdb_format.h"
#include "pdb_reader.h"

namespace mireo {
namespace {

void readVtbi(const MireoArray* greyTable, const MireoArray* palm8Table, const MireoString* pdbPath,
              const MireoString* bmpPath, int16_t* depth) {
    std::string source = textOf(pdbPath), target = textOf(bmpPath);
    valueOf(depth);
    std::vector<uint8_t> file = readWholeFile(source);
    ImageRecord record = readImageRecord(file);
    // The caller learns the stored depth even when the picture cannot be read.
    *depth = static_cast<int16_t>(record.depth & 0xFFFF);
    if (record.version == kObsoleteFormatVersion) {
        showMessage("Unable to load this image.\r\nIt's in the obsolete version 1 format.", "Problem!",
                    MIREO_ICON_INFORMATION);
        return;
    }
    if (record.version != kImageFormatVersion) {
        showMessage("Error! Unknown Version Number.");
        return;
    }
    PackedPicture picture;
    try {
        picture = decodePicture(file, record, greyTable, palm8Table);
    } catch (const BlockDecodeFailure& failure) {
        reportDecoderError(failure.type, failure.error);
        raise(failure.error.number, "block stream");
    }
    file = {};
    writeBmpFile(target, picture.width, picture.height, packBmpRows(std::move(picture)));
}

}  // namespace
}  // namespace mireo

extern "C" MIREO_API void ReadVTBI(const MireoArray* greyTable, const MireoArray* palm8Table,
                                   const MireoString* pdbPath, const MireoString* bmpPath, int16_t* depth) {
    mireo::guarded("Error in dll Reading VT BackImage - ",
                   [&] { mireo::readVtbi(greyTable, palm8Table, pdbPath, bmpPath, depth); });
}
