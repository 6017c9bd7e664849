// Decoding of a background-image database in memory.  Every count and
// offset is taken from the file and checked against the file's length and
// the image record before it is used, and nothing is allocated before the
// file has shown that it can fill it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codecs.h"
#include "mireocore.h"
#include "packed_picture.h"

namespace mireo {

// The fields of record 0 as stored, unchecked.
struct ImageRecord {
    uint32_t width = 0, height = 0, depth = 0, totalBytes = 0;
    uint16_t version = 0, blockCount = 0, rowBytes = 0, density = 0;
};

// Finds record 0 through the header and entry 0 of the record list.
// Raises when the file is too short to hold them or has no records.
ImageRecord readImageRecord(std::span<const uint8_t> file);

// A block stream that its decoder rejected, for the decoder's own report.
struct BlockDecodeFailure {
    CompressionType type;
    DecodeError error;
};

// The picture of a version-2 database as rows of blue, green, red, top row
// first.  Depth 8 takes its colours from `palm8`, depth 4 from `grey`; only
// the table of the stored depth is read.  Raises RuntimeError for an
// inconsistent file, BlockDecodeFailure for a stream that does not decode.
PackedPicture decodePicture(std::span<const uint8_t> file, const ImageRecord& record, const MireoArray* grey,
                            const MireoArray* palm8);

// readImageRecord, the version check (RuntimeError kInvalidCall for any
// version but 2) and decodePicture.
PackedPicture decodeDatabase(std::span<const uint8_t> file, const MireoArray* grey, const MireoArray* palm8);

// What a database says about itself, as stored: the header, the image
// record and the header of every block, read with the same bounds checks as
// the decoding but without judging the values.  Raises RuntimeError
// kInputPastEnd (detail: the part the file ends inside) or kInvalidCall
// (detail: what does not fit together).
struct BlockFacts {
    uint16_t uncompressedBytes = 0, width = 0, rows = 0, rowBytes = 0;
    uint8_t depth = 0, compression = 0;
    std::size_t storedBytes = 0;  // after the block header, to the record's end
};
struct DatabaseFacts {
    std::string name, type, creator;
    uint16_t attributes = 0, version = 0;
    uint32_t created = 0, modified = 0, backedUp = 0;
    ImageRecord image;
    std::vector<BlockFacts> blocks;
};
DatabaseFacts readDatabaseFacts(std::span<const uint8_t> file);

}  // namespace mireo
