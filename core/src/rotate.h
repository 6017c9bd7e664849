// Turning a 24-bit picture by 90 degrees.
#pragma once

#include "packed_picture.h"

namespace mireo {

// Counter-clockwise when `left`, clockwise otherwise.
PackedPicture rotate90(const PackedPicture& in, bool left);

}  // namespace mireo
