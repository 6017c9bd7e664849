// Perl's Palm::PDB, a database parser that this project did not write,
// must read our databases with the right header fields and records.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "bmp.h"
#include "numeric.h"
#include "packed_picture.h"
#include "test_support.h"

using namespace mireo::test;

namespace {

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
    return out;
}

struct Build {
    int32_t width, height;
    int16_t depth, compress;
    int32_t blockSize;
    std::string name;
};

}  // namespace

TEST(PalmPdbPerl, ParsesNameTypeCreatorAttributesAndRecords) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    PaletteTable grey(17), palm8(257);
    fillGrey16(grey);
    fillPalm8(palm8);
    setenv("SOURCE_DATE_EPOCH", "1234567890", 1);
    const Build builds[] = {{160, 160, 16, 0, 51200, "Sixteen"},
                            {320, 48, 8, 0, 3200, "Eight bits in ten blocks"},
                            {161, 33, 4, 1, 1000, "A name longer than thirty-one characters"},
                            {75, 40, 8, 1, 900, ""}};
    for (const Build& b : builds) {
        // Flat bands and noise, so that some blocks compress and some do not.
        std::vector<uint8_t> bgr(std::size_t(3 * b.width * b.height));
        uint32_t seed = 99;
        for (std::size_t i = 0; i < bgr.size(); ++i) {
            seed = seed * 1664525 + 1013904223;
            bgr[i] = (i / (3 * std::size_t(b.width) * 8)) % 2 ? 0x33 : static_cast<uint8_t>(seed >> 24);
        }
        std::string src = dir.file("src.bmp"), pdb = dir.file("db.pdb");
        mireo::writeBmpFile(src, b.width, b.height, mireo::packBmpRows({b.width, b.height, bgr}));
        StringArg srcArg(src), out(pdb), name(b.name, 32);
        int32_t w = b.width, h = b.height, block = b.blockSize, size = 0;
        int16_t depth = b.depth, compress = b.compress;
        CompilePDB(&srcArg, &grey, &palm8, &w, &h, &depth, name.get(), &out, &compress, &block, &size);
        ASSERT_TRUE(ws.messages.empty()) << ws.messages[0].text;
        auto file = readFile(pdb);

        std::size_t n = mireo::getBe16(&file[76]);
        std::ostringstream expected;
        expected << "name " << b.name.substr(0, 31) << "\ntype BmpL\ncreator VTCR\nattributes Backup,backup\n"
                 << "ctime 1234567890\nrecords " << n << "\n";
        for (std::size_t k = 0; k < n; ++k) {
            std::size_t begin = mireo::getBe32(&file[78 + 8 * k]);
            std::size_t end = k + 1 < n ? mireo::getBe32(&file[78 + 8 * (k + 1)]) : file.size();
            expected << "record " << k << " " << end - begin << " Dirty,dirty " << (k == 0 ? n : k) << "\n";
        }
        std::string dump = run("perl " MIREO_SOURCE_DIR "/tests/interop/pdb_dump.pl '" + pdb + "' 2>&1");
        EXPECT_EQ(dump, expected.str()) << b.name;
        // The raw layout is known without looking at the file.
        if (b.compress == 0) {
            int32_t rowBytes = b.depth == 16 ? 2 * b.width : b.width + b.width % 2;
            int32_t rows = std::min(b.blockSize / rowBytes, b.height);
            std::size_t blocks = static_cast<std::size_t>((b.height + rows - 1) / rows);
            EXPECT_EQ(n, blocks + 1);
            EXPECT_NE(dump.find("record 1 " + std::to_string(32 + rows * rowBytes) + " "), std::string::npos);
        }
    }
    unsetenv("SOURCE_DATE_EPOCH");
}
