#include "imaging/names.h"

#include <array>
#include <cstdint>

namespace mireo::imaging {

namespace {

// The longest name a database holds; its 32nd byte is the closing NUL.
constexpr std::size_t kPalmNameCharacters = 31;

constexpr char16_t kUnassigned = u'\uFFFD';

// Windows-1252 bytes 0x80 to 0x9F.  Below them the set is ASCII, above
// them Latin-1, so only this stretch needs a table.
constexpr std::array<char16_t, 32> kHighCharacters = {
    u'\u20AC', kUnassigned, u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', kUnassigned, u'\u017D', kUnassigned,
    kUnassigned, u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', kUnassigned, u'\u017E', u'\u0178'};

constexpr uint8_t kFirstHigh = 0x80, kFirstLatin1 = 0xA0;

char16_t characterOf(uint8_t byte) {
    if (byte >= kFirstHigh && byte < kFirstLatin1) return kHighCharacters[byte - kFirstHigh];
    return byte;
}

// The byte of one UTF-16 unit; the C1 controls U+0080 to U+009F have none,
// since their bytes stand for the table's characters.
char byteOf(char16_t character) {
    if (character < kFirstHigh || (character >= kFirstLatin1 && character <= 0xFF)) return static_cast<char>(character);
    if (character == kUnassigned) return '?';
    for (std::size_t i = 0; i < kHighCharacters.size(); ++i)
        if (kHighCharacters[i] == character) return static_cast<char>(kFirstHigh + i);
    return '?';
}

}  // namespace

std::string cleanTypedName(std::string_view typed) {
    auto first = typed.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::string_view name = typed.substr(first, typed.find_last_not_of(' ') - first + 1);
    if (name.size() > 4) {
        std::string_view ending = name.substr(name.size() - 4);
        for (std::string_view picture : std::array<std::string_view, 3>{".gif", ".jpg", ".bmp"})
            if (ending == picture) return std::string(name.substr(0, name.size() - 4));
    }
    return std::string(name);
}

std::string nameFromFileName(std::string_view path) {
    auto slash = path.find_last_of('/');
    std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (file.size() > 4 && file[file.size() - 4] == '.') file.remove_suffix(4);
    return std::string(file);
}

std::string palmNameBytes(const QString& name) {
    std::string bytes;
    for (qsizetype i = 0; i < name.size() && bytes.size() < kPalmNameCharacters; ++i) {
        const QChar unit = name[i];
        // A surrogate pair is one character beyond the set; a lone
        // surrogate is not in the table either and so becomes '?' below.
        if (unit.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) ++i;
        bytes += byteOf(unit.unicode());
    }
    return bytes;
}

QString palmNameText(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char byte : bytes) text += QChar(characterOf(static_cast<uint8_t>(byte)));
    return text;
}

}  // namespace mireo::imaging
