#include "imaging/gif_check.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace mireo::imaging {

namespace {

constexpr char kNotGif[] = "The picture is not a GIF file.";
constexpr char kEndsEarly[] = "The picture is damaged: it ends before all its pixels.";
constexpr char kCorrupt[] = "The picture is damaged: its image data is corrupt.";
constexpr char kNoImage[] = "The picture is damaged: it holds no image.";
constexpr char kBadBlock[] = "The picture is damaged: one of its blocks is malformed.";
constexpr char kEmptyImage[] = "The picture is damaged: its image has no pixels.";
constexpr char kOutside[] = "The picture is damaged: its image does not fit inside the picture.";

constexpr std::size_t kSignatureSize = 6, kScreenFlagsAt = 10, kGlobalTableAt = 13, kDescriptorSize = 10;
constexpr uint8_t kImageIntroducer = 0x2C, kExtensionIntroducer = 0x21, kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kTableFlag = 0x80, kSortedFlag = 0x20, kTableSizeBits = 0x07, kColourResolutionBits = 0x70;

// Reads a file front to back; every read says whether the bytes were there.
class Cursor {
public:
    explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    std::size_t at() const { return at_; }
    bool skip(std::size_t count) {
        if (bytes_.size() - at_ < count) return false;
        at_ += count;
        return true;
    }
    bool byte(uint8_t& value) {
        if (at_ == bytes_.size()) return false;
        value = bytes_[at_++];
        return true;
    }
    bool le16(int& value) {
        uint8_t low = 0, high = 0;
        if (!byte(low) || !byte(high)) return false;
        value = low | high << 8;
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    std::size_t at_ = 0;
};

// Where the parts before the first image's data lie, and what they say.
struct Layout {
    int screenWidth = 0, screenHeight = 0;
    std::size_t globalTableSize = 0;  // bytes, from kGlobalTableAt on
    bool transparency = false;        // a graphic control block names a transparent index
    std::size_t descriptorAt = 0;     // the image introducer
    int left = 0, top = 0, width = 0, height = 0;
    uint8_t imageFlags = 0;
    std::size_t localTableSize = 0;  // bytes, right after the descriptor
};

// The size in bytes of the colour table that a flags byte announces.
std::size_t tableSize(uint8_t flags) {
    return (flags & kTableFlag) ? std::size_t{3} << ((flags & kTableSizeBits) + 1) : 0;
}

// Qt takes a screen of zero width or height as just large enough for the
// first image.
int shownWidth(const Layout& l) { return l.screenWidth ? l.screenWidth : l.left + l.width; }
int shownHeight(const Layout& l) { return l.screenHeight ? l.screenHeight : l.top + l.height; }

const char* signatureProblem(std::span<const uint8_t> file) {
    if (looksLikeGif(file)) return nullptr;
    // A file that stops inside a signature is a cut GIF, not some other file.
    for (const char* signature : {"GIF87a", "GIF89a"})
        if (!file.empty() && file.size() < kSignatureSize && std::equal(file.begin(), file.end(), signature))
            return kEndsEarly;
    return kNotGif;
}

// Steps over a chain of sub-blocks and its 0 terminator.
bool skipSubBlocks(Cursor& in) {
    for (uint8_t size = 0;;) {
        if (!in.byte(size)) return false;
        if (size == 0) return true;
        if (!in.skip(size)) return false;
    }
}

// An extension after its introducer.  A graphic control block holds at
// least its four bytes (flags, delay, transparent index): Qt reads four
// whatever the block's size says.
const char* readExtension(Cursor& in, Layout& layout) {
    uint8_t label = 0;
    if (!in.byte(label)) return kEndsEarly;
    if (label == kGraphicControlLabel) {
        uint8_t size = 0, flags = 0;
        if (!in.byte(size)) return kEndsEarly;
        if (size < 4) return kBadBlock;
        if (!in.byte(flags) || !in.skip(size - 1u)) return kEndsEarly;
        layout.transparency = layout.transparency || (flags & 1);
    }
    return skipSubBlocks(in) ? nullptr : kEndsEarly;
}

// The image descriptor after its introducer, and the local colour table.
// The format asks every image to fit on the logical screen; Qt cuts off
// what lies outside, and places the rows of an interlaced image wrongly
// when the image reaches below the screen.
const char* readDescriptor(Cursor& in, Layout& l) {
    if (!in.le16(l.left) || !in.le16(l.top) || !in.le16(l.width) || !in.le16(l.height) || !in.byte(l.imageFlags))
        return kEndsEarly;
    if (l.width == 0 || l.height == 0) return kEmptyImage;
    if (l.left + l.width > shownWidth(l) || l.top + l.height > shownHeight(l)) return kOutside;
    l.localTableSize = tableSize(l.imageFlags);
    return in.skip(l.localTableSize) ? nullptr : kEndsEarly;
}

// Header, screen descriptor, global colour table and the blocks before the
// first image, up to its LZW minimum code size.
const char* readToImageData(std::span<const uint8_t> file, Cursor& in, Layout& l) {
    if (const char* problem = signatureProblem(file)) return problem;
    uint8_t flags = 0;
    if (!in.skip(kSignatureSize) || !in.le16(l.screenWidth) || !in.le16(l.screenHeight) || !in.byte(flags) ||
        !in.skip(2))
        return kEndsEarly;
    l.globalTableSize = tableSize(flags);
    if (!in.skip(l.globalTableSize)) return kEndsEarly;
    for (;;) {
        const std::size_t blockAt = in.at();
        uint8_t introducer = 0;
        if (!in.byte(introducer)) return kEndsEarly;
        if (introducer == kImageIntroducer) {
            l.descriptorAt = blockAt;
            return readDescriptor(in, l);
        }
        if (introducer == kTrailer) return kNoImage;
        if (introducer != kExtensionIntroducer) return kBadBlock;
        if (const char* problem = readExtension(in, l)) return problem;
    }
}

// The bytes of the image's data sub-blocks in order, up to the terminator.
class DataBytes {
public:
    explicit DataBytes(Cursor& in) : in_(in) {}
    bool next(uint8_t& byte) {
        while (left_ == 0) {
            if (ended_ || !in_.byte(left_)) return false;
            ended_ = left_ == 0;
        }
        --left_;
        return in_.byte(byte);
    }

private:
    Cursor& in_;
    uint8_t left_ = 0;
    bool ended_ = false;
};

// LZW codes of a given width, least significant bit first.
class CodeReader {
public:
    explicit CodeReader(Cursor& in) : bytes_(in) {}
    bool read(int width, unsigned& code) {
        while (bits_ < width) {
            uint8_t byte = 0;
            if (!bytes_.next(byte)) return false;
            buffer_ |= uint32_t{byte} << bits_;
            bits_ += 8;
        }
        code = buffer_ & ((1u << width) - 1);
        buffer_ >>= width;
        bits_ -= width;
        return true;
    }

private:
    DataBytes bytes_;
    uint32_t buffer_ = 0;
    int bits_ = 0;
};

// Decodes codes until they have given `needed` pixels.  Counting needs only
// the length of each table entry, not its pixels.  The first code after a
// clear (or at the start) must be a single pixel; any later one must be in
// the table or the entry about to be made (the previous string and its own
// first pixel).  The code width grows when the next entry needs one more
// bit, as Qt's reader has it, up to 12 bits; a full table takes no more
// entries until a clear.
const char* countPixels(CodeReader& codes, int minCodeSize, uint64_t needed) {
    constexpr unsigned kTableEntries = 4096;
    constexpr int kMaxWidth = 12;
    const unsigned clear = 1u << minCodeSize, end = clear + 1;
    std::array<uint16_t, kTableEntries> length;
    for (unsigned code = 0; code < clear; ++code) length[code] = 1;
    unsigned next = clear + 2, previous = 0;
    int width = minCodeSize + 1;
    bool afterClear = true;
    for (uint64_t produced = 0; produced < needed;) {
        unsigned code = 0;
        if (!codes.read(width, code) || code == end) return kEndsEarly;
        if (code == clear) {
            next = clear + 2, width = minCodeSize + 1, afterClear = true;
            continue;
        }
        if (afterClear) {
            if (code >= clear) return kCorrupt;
            produced += 1, previous = code, afterClear = false;
            continue;
        }
        if (code > next) return kCorrupt;
        produced += code < next ? length[code] : length[previous] + 1u;
        if (next < kTableEntries) {
            length[next++] = static_cast<uint16_t>(length[previous] + 1);
            if (next >= (1u << width) && width < kMaxWidth) ++width;
        }
        previous = code;
    }
    return nullptr;
}

// The first image's LZW data.  A minimum code size of 1 is below what the
// format asks for two-colour images, but it decodes by the same rules and
// Qt reads it.
const char* checkImageData(Cursor& in, const Layout& l) {
    uint8_t minCodeSize = 0;
    if (!in.byte(minCodeSize)) return kEndsEarly;
    if (minCodeSize < 1 || minCodeSize > 8) return kCorrupt;
    CodeReader codes(in);
    return countPixels(codes, minCodeSize, uint64_t(l.width) * uint64_t(l.height));
}

const char* check(std::span<const uint8_t> file, Layout& layout) {
    Cursor in(file);
    if (const char* problem = readToImageData(file, in, layout)) return problem;
    return checkImageData(in, layout);
}

// Qt paints the screen around the first image (and, where the image is
// transparent, under it) with the transparent colour or else, when there
// is a global table, the background colour; it looks either up in the
// image's own table before it has read it.
bool qtPaintsFromUnreadTable(const Layout& l) {
    if (l.localTableSize == 0 || (!l.transparency && l.globalTableSize == 0)) return false;
    return l.left > 0 || l.top > 0 || l.width < shownWidth(l) || l.height < shownHeight(l);
}

}  // namespace

bool looksLikeGif(std::span<const uint8_t> head) {
    if (head.size() < kSignatureSize) return false;
    const auto is = [&](const char* signature) { return std::equal(head.begin(), head.begin() + 6, signature); };
    return is("GIF87a") || is("GIF89a");
}

std::string gifDamage(std::span<const uint8_t> file) {
    Layout layout;
    const char* problem = check(file, layout);
    return problem ? problem : "";
}

std::optional<std::vector<uint8_t>> gifSafeForQt(std::span<const uint8_t> file) {
    Layout l;
    if (check(file, l) || !qtPaintsFromUnreadTable(l)) return std::nullopt;
    std::vector<uint8_t> out;
    out.reserve(file.size() - l.globalTableSize + l.localTableSize);
    const auto copy = [&](std::size_t from, std::size_t to) {
        const auto part = file.subspan(from, to - from);
        out.insert(out.end(), part.begin(), part.end());
    };
    const std::size_t localTableAt = l.descriptorAt + kDescriptorSize, imageFlagsAt = localTableAt - 1;
    copy(0, kScreenFlagsAt);
    out.push_back(static_cast<uint8_t>(kTableFlag | (file[kScreenFlagsAt] & kColourResolutionBits) |
                                       (l.imageFlags & kTableSizeBits)));
    copy(kScreenFlagsAt + 1, kGlobalTableAt);
    copy(localTableAt, localTableAt + l.localTableSize);
    copy(kGlobalTableAt + l.globalTableSize, imageFlagsAt);
    // The interlace bit stays; the table, its order and its size go.
    out.push_back(static_cast<uint8_t>(l.imageFlags & ~(kTableFlag | kSortedFlag | kTableSizeBits)));
    copy(localTableAt + l.localTableSize, file.size());
    return out;
}

}  // namespace mireo::imaging
