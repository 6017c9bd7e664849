// Backimage names in the Palm's character set, Windows-1252: text to the
// stored bytes and back, checked against hand-written rows and against
// glibc's own Windows-1252 converter.
#include <iconv.h>

#include <gtest/gtest.h>
#include <optional>

#include "imaging/names.h"

namespace mireo::imaging {
namespace {

// glibc's converter between two character sets; nullopt for text that has
// no conversion.
class Iconv {
public:
    Iconv(const char* to, const char* from) : converter_(iconv_open(to, from)) {
        if (converter_ == reinterpret_cast<iconv_t>(-1)) ADD_FAILURE() << "no iconv from " << from << " to " << to;
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    ~Iconv() {
        if (converter_ != reinterpret_cast<iconv_t>(-1)) iconv_close(converter_);
    }
    std::optional<std::string> operator()(std::string in) const {
        std::string out(4 * in.size() + 4, '\0');
        char *input = in.data(), *output = out.data();
        std::size_t inputLeft = in.size(), outputLeft = out.size();
        if (iconv(converter_, &input, &inputLeft, &output, &outputLeft) == static_cast<std::size_t>(-1)) return {};
        out.resize(out.size() - outputLeft);
        return out;
    }

private:
    iconv_t converter_;
};

std::string byte(int value) { return std::string(1, static_cast<char>(value)); }

// The 27 characters of 0x80 to 0x9F; the other five bytes are unassigned.
const std::pair<const char*, int> kHighCharacters[] = {
    {"€", 0x80}, {"‚", 0x82}, {"ƒ", 0x83}, {"„", 0x84}, {"…", 0x85}, {"†", 0x86}, {"‡", 0x87}, {"ˆ", 0x88},
    {"‰", 0x89}, {"Š", 0x8A}, {"‹", 0x8B}, {"Œ", 0x8C}, {"Ž", 0x8E}, {"‘", 0x91}, {"’", 0x92}, {"“", 0x93},
    {"”", 0x94}, {"•", 0x95}, {"–", 0x96}, {"—", 0x97}, {"˜", 0x98}, {"™", 0x99}, {"š", 0x9A}, {"›", 0x9B},
    {"œ", 0x9C}, {"ž", 0x9E}, {"Ÿ", 0x9F}};
constexpr int kUnassigned[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

TEST(PalmName, TheHighCharactersBothWays) {
    for (const auto& [character, value] : kHighCharacters) {
        EXPECT_EQ(palmNameBytes(QString::fromUtf8(character)), byte(value)) << character;
        EXPECT_EQ(palmNameText(byte(value)), QString::fromUtf8(character)) << value;
    }
    for (int value : kUnassigned) EXPECT_EQ(palmNameText(byte(value)), QString(QChar(0xFFFD))) << value;
}

TEST(PalmName, TextToBytesOneBytePerCharacter) {
    const QChar loneHigh(0xD800), loneLow(0xDC00);
    const std::pair<QString, std::string> cases[] = {
        {"Sunset 2024 (a_b)", "Sunset 2024 (a_b)"},
        {"Café crème", "Caf\xE9 cr\xE8me"},
        {"Größe ½ ÿ\u00A0Ø", "Gr\xF6\xDF" "e \xBD \xFF\xA0\xD8"},
        {"“Œuvre” – 5 € … ™", "\x93\x8Cuvre\x94 \x96 5 \x80 \x85 \x99"},
        {"Ελλάδα", "??????"}, {"日本", "??"}, {"ā", "?"},
        {QString(QChar(0x81)) + QChar(0x9F), "??"},  // C1 controls: their bytes mean other characters
        {QString(QChar(0xFFFD)), "?"},
        {"a😀b", "a?b"}, {"😀😀", "??"},
        {QString("x") + loneHigh + "y" + loneLow, "x?y?"},
        {QString::fromUtf8("a\xFF" "b"), "a?b"},  // bad UTF-8 on its way in
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(palmNameBytes(text), bytes) << text.toStdString();
}

TEST(PalmName, CutAtThirtyOneCharactersNotBytes) {
    const QString thirty(30, QChar('a'));
    const std::pair<QString, std::string> cases[] = {
        {QString(40, QChar('n')), std::string(31, 'n')},
        {QString(40, QChar(0xE9)), std::string(31, '\xE9')},
        {thirty + "€xyz", std::string(30, 'a') + "\x80"},
        {thirty + "😀z", std::string(30, 'a') + "?"},
        {QString("😀").repeated(40), std::string(31, '?')},
        {thirty + "b", std::string(30, 'a') + "b"},
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(palmNameBytes(text), bytes) << text.toStdString();
}

// Every character of the Basic Multilingual Plane encodes as glibc does,
// with '?' where glibc has no byte.
TEST(PalmName, EveryCharacterEncodesAsGlibcDoes) {
    const Iconv toWindows1252("WINDOWS-1252", "UTF-8");
    for (char16_t unit = 1; unit < 0xFFFF; ++unit) {
        if (QChar::isSurrogate(unit)) continue;
        const QString character(QChar{unit});
        const auto expected = toWindows1252(character.toStdString());
        ASSERT_EQ(palmNameBytes(character), expected.value_or("?")) << int(unit);
    }
}

// Every byte decodes as glibc decodes it, U+FFFD where glibc has no
// character; the 251 assigned bytes come back as themselves.
TEST(PalmNameText, EveryByteAsGlibcDecodesItAndBack) {
    const Iconv fromWindows1252("UTF-8", "WINDOWS-1252");
    int assigned = 0;
    for (int value = 0; value < 256; ++value) {
        const auto expected = fromWindows1252(byte(value));
        const QString text = palmNameText(byte(value));
        EXPECT_EQ(text, expected ? QString::fromStdString(*expected) : QString(QChar(0xFFFD))) << value;
        if (!expected) continue;
        ++assigned;
        EXPECT_EQ(palmNameBytes(text), byte(value)) << value;
    }
    EXPECT_EQ(assigned, 251);
    EXPECT_EQ(palmNameText("Caf\xE9\x81\x80"), QString::fromUtf8("Café\uFFFD€"));
}

}  // namespace
}  // namespace mireo::imaging
