// Reading database headers for `info` and the type check of `open`.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/pdb_info.h"

namespace mireo::imaging {
namespace {

void put16(std::vector<uint8_t>& f, std::size_t at, uint32_t v) {
    f[at] = uint8_t(v >> 8);
    f[at + 1] = uint8_t(v);
}
void put32(std::vector<uint8_t>& f, std::size_t at, uint32_t v) {
    put16(f, at, v >> 16);
    put16(f, at + 2, v & 0xFFFF);
}

// A 10 x 3 picture at depth 8 in two blocks: 2 raw rows, then 1 RLE row
// stored in 9 bytes.
std::vector<uint8_t> twoBlockDatabase() {
    const std::size_t records = 3, list = 78, image = 80 + 8 * records, block1 = image + 32,
                      block2 = block1 + 32 + 20;
    std::vector<uint8_t> f(block2 + 32 + 9, 0);
    std::memcpy(f.data(), "Hello", 5);
    put16(f, 32, 8);
    put32(f, 36, 86400 * 366);
    put32(f, 40, 59 * 86400 + 3661);
    std::memcpy(&f[60], "BmpLVTCR", 8);
    put16(f, 76, records);
    put32(f, list, image);
    put32(f, list + 8, block1);
    put32(f, list + 16, block2);
    put32(f, image, 10);
    put32(f, image + 4, 3);
    put32(f, image + 8, 8);
    put16(f, image + 12, 2);
    put16(f, image + 14, 2);
    put32(f, image + 16, 29);
    put16(f, image + 20, 10);
    put16(f, image + 22, 72);
    for (auto [at, rows, type] : {std::tuple{block1, 2u, 0}, std::tuple{block2, 1u, 2}}) {
        put16(f, at + 6, rows * 10);
        put16(f, at + 8, 10);
        put16(f, at + 10, rows);
        put16(f, at + 12, 10);
        f[at + 14] = 8;
        f[at + 15] = uint8_t(type);
    }
    return f;
}

TEST(PdbInfo, ReadsHeaderImageRecordAndBlocks) {
    PdbInfo info = readPdbInfo(twoBlockDatabase());
    EXPECT_EQ(info.name, "Hello");
    EXPECT_EQ(info.type, "BmpL");
    EXPECT_EQ(info.creator, "VTCR");
    EXPECT_EQ(info.attributes, 8);
    EXPECT_EQ(palmTimeText(info.created), "1905-01-01T00:00:00");
    EXPECT_EQ(palmTimeText(info.modified), "1904-02-29T01:01:01");
    EXPECT_EQ(info.width, 10u);
    EXPECT_EQ(info.height, 3u);
    EXPECT_EQ(info.depth, 8u);
    EXPECT_EQ(info.formatVersion, 2);
    EXPECT_EQ(info.rowBytes, 10);
    EXPECT_EQ(info.density, 72);
    EXPECT_EQ(info.totalDataBytes, 29u);
    ASSERT_EQ(info.blocks.size(), 2u);
    EXPECT_EQ(info.blocks[0].rows, 2);
    EXPECT_EQ(info.blocks[0].compression, 0);
    EXPECT_EQ(info.blocks[0].uncompressedBytes, 20u);
    EXPECT_EQ(info.blocks[0].storedBytes, 20u);
    EXPECT_EQ(info.blocks[1].rows, 1);
    EXPECT_EQ(info.blocks[1].compression, 2);
    EXPECT_EQ(info.blocks[1].storedBytes, 9u);
    EXPECT_STREQ(compressionName(info.blocks[1].compression), "RLE");
}

TEST(PdbInfo, EveryTruncationIsReportedNotReadPast) {
    std::vector<uint8_t> file = twoBlockDatabase();
    // The last block's data may be cut (its length is taken from the file
    // end), but its header may not.
    const std::size_t lastHeaderEnd = file.size() - 9;
    for (std::size_t length = 0; length < lastHeaderEnd; ++length) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_THROW(readPdbInfo(cut), PdbFormatError) << length;
    }
}

TEST(PdbInfo, InconsistentRecordsAreRefused) {
    std::vector<uint8_t> badCount = twoBlockDatabase();
    put16(badCount, 80 + 24 + 14, 5);
    EXPECT_THROW(readPdbInfo(badCount), PdbFormatError);

    std::vector<uint8_t> overlap = twoBlockDatabase();
    put32(overlap, 78 + 16, 80 + 24 + 32 + 10);  // block 2 inside block 1's header
    EXPECT_THROW(readPdbInfo(overlap), PdbFormatError);

    std::vector<uint8_t> farOffset = twoBlockDatabase();
    put32(farOffset, 78 + 8, 0xFFFFFFF0u);
    EXPECT_THROW(readPdbInfo(farOffset), PdbFormatError);

    std::vector<uint8_t> noRecords = twoBlockDatabase();
    put16(noRecords, 76, 0);
    EXPECT_THROW(readPdbInfo(noRecords), PdbFormatError);
}

TEST(PdbTypeCheck, TypeIsCheckedBeforeCreator) {
    std::vector<uint8_t> file = twoBlockDatabase();
    EXPECT_EQ(backimageTypeProblem(file), "");
    std::vector<uint8_t> otherType = file;
    std::memcpy(&otherType[60], "DATA", 4);
    EXPECT_EQ(backimageTypeProblem(otherType), "This file doesn't appear to be a valid Vantrel Backimage");
    std::vector<uint8_t> otherCreator = file;
    std::memcpy(&otherCreator[64], "abcd", 4);
    EXPECT_EQ(backimageTypeProblem(otherCreator), "This file doesn't appear to be a valid Vantrel Background Image");
    EXPECT_EQ(backimageTypeProblem(std::vector<uint8_t>(20, 0)),
              "This file doesn't appear to be a valid Vantrel Backimage");
    std::vector<uint8_t> cutInCreator(file.begin(), file.begin() + 66);
    EXPECT_EQ(backimageTypeProblem(cutInCreator), "This file doesn't appear to be a valid Vantrel Background Image");
}

TEST(PalmTime, CountsFrom1904WithoutTimeZone) {
    EXPECT_EQ(palmTimeText(0), "1904-01-01T00:00:00");
    EXPECT_EQ(palmTimeText(2082844800u), "1970-01-01T00:00:00");
    EXPECT_EQ(palmTimeText(2082844800u + 1700000000u), "2023-11-14T22:13:20");
    EXPECT_EQ(palmTimeText(0xFFFFFFFFu), "2040-02-06T06:28:15");
}

}  // namespace
}  // namespace mireo::imaging
