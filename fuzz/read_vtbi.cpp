// The database reader on arbitrary bytes: it must reject or decode every
// input without reading outside the file or allocating beyond what the
// file's size warrants.
#include <cstddef>
#include <cstdint>

#include "errors.h"
#include "imaging/palettes.h"
#include "pdb_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const mireo::imaging::Palettes tables;
    static const MireoArray palm8 = tables.palm8.descriptor(), grey = tables.grey16.descriptor();
    try {
        mireo::PackedPicture picture = mireo::decodeDatabase({data, size}, &grey, &palm8);
        if (picture.bytes.size() != std::size_t(3) * std::size_t(picture.width) * std::size_t(picture.height))
            __builtin_trap();
    } catch (const mireo::RuntimeError&) {
    } catch (const mireo::BlockDecodeFailure&) {
    }
    return 0;
}
