// A check of a GIF file made before Qt's reader decodes it.  Qt takes a GIF
// whose data is cut short or broken and hands back a partial picture, so
// the check walks the file's blocks up to the first image and decodes that
// image's LZW data, counting the pixels it gives.  Every read is checked
// against the end of the bytes; the only memory it keeps is the LZW table.
// Needs no Qt, so the fuzz targets take it as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mireo::imaging {

// True when the bytes begin with a GIF signature ("GIF87a" or "GIF89a").
bool looksLikeGif(std::span<const uint8_t> head);

// Empty when the file's first image is complete and well formed; else a
// short plain reason for the user, such as "The picture is damaged: it ends
// before all its pixels.".  Only the first image is read: later frames and
// the trailer are not required, and data after the image's last pixel is
// not looked at.
std::string gifDamage(std::span<const uint8_t> file);

// Qt's reader (6.4) paints the screen around a first image that does not
// cover it, and every transparent pixel of the image, with a colour it
// looks up in the image's own colour table before it has read that table:
// for a file whose first image has its own table, does not cover the
// screen, and has a transparent index or a global table, those pixels come
// from uninitialised memory.  For such a file this gives the same file with
// the image's own table made the global one, which Qt reads before it
// paints, so that it shows the picture it means to; for any other file, and
// for one that gifDamage() refuses, nothing.  Later frames then use that
// table too; Qt's reader reads only the first.
std::optional<std::vector<uint8_t>> gifSafeForQt(std::span<const uint8_t> file);

}  // namespace mireo::imaging
