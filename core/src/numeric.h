// Small arithmetic helpers shared by the pixel and file-format code.
#pragma once

#include <cmath>
#include <cstdint>

namespace mireo {

// A floating-point value becomes an integer by rounding to nearest, halves
// to even (the default floating-point rounding mode).
inline int64_t roundHalfEven(double value) { return static_cast<int64_t>(std::nearbyint(value)); }

// Big-endian fields of the database.
inline void putBe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}
inline void putBe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}
inline uint32_t getBe16(const uint8_t* p) { return uint32_t{p[0]} << 8 | p[1]; }
inline uint32_t getBe32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Little-endian fields of BMP files.
inline void putLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void putLe32(uint8_t* p, uint32_t v) {
    putLe16(p, v);
    putLe16(p + 2, v >> 16);
}
inline uint32_t getLe16(const uint8_t* p) { return uint32_t{p[1]} << 8 | p[0]; }
inline uint32_t getLe32(const uint8_t* p) { return getLe16(p + 2) << 16 | getLe16(p); }

}  // namespace mireo
