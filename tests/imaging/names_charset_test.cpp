// Backimage names in the Palm's character set, Windows-1252: text to the
// stored bytes and back, checked against glibc's own converter and by hand.
#include <iconv.h>

#include <gtest/gtest.h>
#include <optional>

#include "imaging/names.h"

namespace mireo::imaging {
namespace {

// glibc's conversion of `in`, nullopt where it has none; iconv refuses a failed handle.
std::optional<std::string> glibc(const char* to, const char* from, std::string in) {
    const iconv_t converter = iconv_open(to, from);
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "no iconv from " << from << " to " << to;
    std::string out(4 * in.size() + 4, '\0');
    char *input = in.data(), *output = out.data();
    std::size_t inputLeft = in.size(), outputLeft = out.size();
    const bool done = iconv(converter, &input, &inputLeft, &output, &outputLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    out.resize(out.size() - outputLeft);
    return done ? std::optional(out) : std::nullopt;
}

std::string byte(int value) { return std::string(1, static_cast<char>(value)); }

// Characters the set lacks, surrogates, bad UTF-8, and the cut at 31 characters.
TEST(PalmName, TextToBytesOneBytePerCharacterCutAtThirtyOne) {
    const QString thirty(30, QChar('a'));
    const std::pair<QString, std::string> cases[] = {
        {"Café “Œuvre” – 5 €", "Caf\xE9 \x93\x8Cuvre\x94 \x96 5 \x80"},
        {"a😀b", "a?b"}, {"😀😀", "??"}, {QString(QChar(0x81)) + QChar(0x9F) + QChar(0xFFFD) + "˜", "???\x98"},
        {QString("x") + QChar(0xD800) + "y" + QChar(0xDC00), "x?y?"}, {QString::fromUtf8("a\xFF" "b"), "a?b"},
        {QString(40, QChar('n')), std::string(31, 'n')}, {QString(40, QChar(0xE9)), std::string(31, '\xE9')},
        {thirty + "€xyz", std::string(30, 'a') + "\x80"}, {thirty + "😀z", std::string(30, 'a') + "?"},
        {QString("😀").repeated(40), std::string(31, '?')}, {thirty + "b", std::string(30, 'a') + "b"},
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(palmNameBytes(text), bytes) << text.toStdString();
}

// Every character of the Basic Multilingual Plane encodes as glibc does,
// with '?' where glibc has no byte (the C1 controls and U+FFFD among them).
TEST(PalmName, EveryCharacterEncodesAsGlibcDoes) {
    for (char16_t unit = 1; unit < 0xFFFF; ++unit) {
        if (QChar::isSurrogate(unit)) continue;
        const QString character(QChar{unit});
        const auto expected = glibc("WINDOWS-1252", "UTF-8", character.toStdString());
        ASSERT_EQ(palmNameBytes(character), expected.value_or("?")) << int(unit);
    }
}

// Every byte decodes as glibc decodes it, U+FFFD for the five bytes glibc
// has no character for; the 251 others come back as themselves.
TEST(PalmNameText, EveryByteAsGlibcDecodesItAndBack) {
    int assigned = 0;
    for (int value = 0; value < 256; ++value) {
        const auto expected = glibc("UTF-8", "WINDOWS-1252", byte(value));
        const QString text = palmNameText(byte(value));
        EXPECT_EQ(text, expected ? QString::fromStdString(*expected) : QString(QChar(0xFFFD))) << value;
        assigned += expected.has_value();
        if (expected) { EXPECT_EQ(palmNameBytes(text), byte(value)) << value; }
    }
    EXPECT_EQ(assigned, 251);
    EXPECT_EQ(palmNameText("Caf\xE9\x81\x80\x9F\x98"), QString::fromUtf8("Café\uFFFD€Ÿ˜"));
}

}  // namespace
}  // namespace mireo::imaging
