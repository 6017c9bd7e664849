// The GIF check on arbitrary bytes: it must stay inside them and agree with
// itself.  Only a GIF can pass; a file that passes still passes with more
// bytes after it (nothing after the first image's last pixel is read); the
// copy made safe for Qt passes too and needs no second change, and a file
// that does not pass gets no such copy.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/gif_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mireo::imaging;
    const std::span<const uint8_t> file(data, size);
    const bool passes = gifDamage(file).empty();
    const auto safe = gifSafeForQt(file);
    if (passes && !looksLikeGif(file)) std::abort();
    if (!passes) {
        if (safe) std::abort();
        return 0;
    }
    std::vector<uint8_t> longer(data, data + size);
    longer.push_back(0x2C);
    if (!gifDamage(longer).empty()) std::abort();
    if (safe && (!gifDamage(*safe).empty() || gifSafeForQt(*safe))) std::abort();
    return 0;
}
