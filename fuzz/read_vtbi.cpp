// The database reader on arbitrary bytes: it must reject or decode every
// input without reading outside the file or allocating beyond what the
// file's size warrants.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "errors.h"
#include "pdb_reader.h"

namespace {

// A palette table of `entries` x 4 singles, entry fastest, as the program
// passes it.
struct Table {
    std::vector<float> values;
    MireoArray array{};
    explicit Table(int32_t entries) : values(static_cast<std::size_t>(entries) * 4) {
        array.data = values.data();
        array.dims = 2;
        array.elementSize = 4;
        array.count[0] = entries;
        array.count[1] = 4;
    }
    void set(int32_t entry, int r, int g, int b) {
        auto e = static_cast<std::size_t>(entry), n = static_cast<std::size_t>(array.count[0]);
        values[e] = static_cast<float>(r);
        values[n + e] = static_cast<float>(g);
        values[2 * n + e] = static_cast<float>(b);
    }
};

// The Palm OS 8-bit system palette and its spare entry.
Table palm8Table() {
    Table t(257);
    const int levels[6] = {255, 204, 153, 102, 51, 0};
    int32_t entry = 0;
    for (int half = 0; half < 2; ++half)
        for (int r : levels)
            for (int bi = 0; bi < 3; ++bi)
                for (int g : levels) {
                    int b = levels[half * 3 + bi];
                    if (r != 0 || g != 0 || b != 0) t.set(entry++, r, g, b);
                }
    for (int grey : {17, 34, 68, 85, 119, 136, 170, 187, 221, 238}) t.set(entry++, grey, grey, grey);
    t.set(entry++, 192, 192, 192);
    t.set(entry++, 128, 0, 0);
    t.set(entry++, 128, 0, 128);
    t.set(entry++, 0, 128, 0);
    t.set(entry, 0, 128, 128);
    return t;
}

Table greyTable() {
    Table t(17);
    for (int32_t i = 0; i < 16; ++i) t.set(i, 255 - 17 * i, 255 - 17 * i, 255 - 17 * i);
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const Table palm8 = palm8Table();
    static const Table grey = greyTable();
    try {
        mireo::PackedPicture picture = mireo::decodeDatabase({data, size}, &grey.array, &palm8.array);
        if (picture.bytes.size() != std::size_t(3) * std::size_t(picture.width) * std::size_t(picture.height))
            __builtin_trap();
    } catch (const mireo::RuntimeError&) {
    } catch (const mireo::BlockDecodeFailure&) {
    }
    return 0;
}
