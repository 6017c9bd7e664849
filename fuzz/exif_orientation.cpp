// The Exif orientation parser of the JPEG path on arbitrary APP1 payloads:
// it must stay inside the bytes and give 1 to 8.
#include <cstdint>
#include <cstdlib>

#include "imaging/exif_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int orientation = mireo::imaging::exifOrientation({data, size});
    if (orientation < 1 || orientation > 8) std::abort();
    return 0;
}
