// Perl's Palm::PDB, a database parser that this project did not write,
// must read our databases with the right header fields and records.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "numeric.h"
#include "test_support.h"

using namespace mireo::test;

TEST(PalmPdbPerl, ParsesNameTypeCreatorAttributesAndRecords) {
    PdbMaker maker;
    RecordingWindowSystem ws;
    setenv("SOURCE_DATE_EPOCH", "1234567890", 1);
    struct Build { int32_t width, height; PdbOptions options; } builds[] = {{160, 160, {.name = "Sixteen"}},
                  {320, 48, {.depth = 8, .blockSize = 3200, .name = "Eight bits in ten blocks"}},
                  {161, 33, {.depth = 4, .compress = 1, .blockSize = 1000, .name = "A name longer than thirty-one characters"}},
                  {75, 40, {.depth = 8, .compress = 1, .blockSize = 900, .name = ""}}};
    for (const Build& b : builds) {
        // Flat bands and noise, so that some blocks compress and some do not.
        Bytes bgr(std::size_t(3 * b.width * b.height));
        for (std::size_t i = 0, seed = 99; i < bgr.size(); ++i, seed = seed * 1664525 + 1013904223)
            bgr[i] = (i / (3 * std::size_t(b.width) * 8)) % 2 ? 0x33 : static_cast<uint8_t>(seed >> 24);
        auto file = maker.compile(maker.source(b.width, b.height, bgr), b.width, b.height, b.options);
        ASSERT_TRUE(ws.messages.empty()) << ws.messages[0].text;
        std::size_t n = mireo::getBe16(&file[76]);
        std::ostringstream expected;
        expected << "name " << b.options.name.substr(0, 31) << "\ntype BmpL\ncreator VTCR\nattributes Backup,backup\n"
                 << "ctime 1234567890\nrecords " << n << "\n";
        for (std::size_t k = 0; k < n; ++k) {
            std::size_t end = k + 1 < n ? mireo::getBe32(&file[78 + 8 * (k + 1)]) : file.size();
            expected << "record " << k << " " << end - mireo::getBe32(&file[78 + 8 * k]) << " Dirty,dirty " << (k ? k : n) << "\n";
        }
        std::string dump, command = "perl " MIREO_SOURCE_DIR "/tests/interop/pdb_dump.pl '" + maker.dir.file("out.pdb") + "' 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_TRUE(pipe);
        for (char buffer[4096]; std::size_t got = fread(buffer, 1, sizeof buffer, pipe);) dump.append(buffer, got);
        pclose(pipe);
        EXPECT_EQ(dump, expected.str()) << b.options.name;
    }
    unsetenv("SOURCE_DATE_EPOCH");
}
