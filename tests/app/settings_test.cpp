// The profile-file layer, the settings class over it and the rules of
// Mireo.ini, without a window.
#include <QWidget>

#include "app_test_support.h"
#include "settings/ini_file.h"
#include "settings/private_profile.h"
#include "settings/settings.h"

namespace {

std::optional<QByteArray> opt(const char* text) { return text ? std::optional<QByteArray>(text) : std::nullopt; }

struct ProfileFile : testing::Test {
    QString file = ScratchFolder() + QStringLiteral("/Test.ini");
    QByteArray get(const char* section, const char* key, int size = 255) {
        return profile::GetPrivateProfileString(opt(section), opt(key), "none", size, file);
    }
    bool set(const char* section, const char* key, const char* text) {
        return profile::WritePrivateProfileString(section, opt(key), opt(text), file);
    }
};

// The file is made by the first write; names are found in any letter case,
// a write keeps the rest of the file, comments and layout included, and
// what would break the file is refused.
TEST_F(ProfileFile, ReadsDefaultsWritesKeepTheRestOfTheFileAndRefusesWhatWouldBreakIt) {
    EXPECT_EQ(get("Program", "Name"), "none");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(set("Color Depth", "Default Color Depth", "8-Bit"));
    EXPECT_EQ(get("COLOR DEPTH", "default color depth"), "8-Bit");
    EXPECT_TRUE(set("color depth", "DEFAULT COLOR DEPTH", "4-Bit"));
    for (auto [section, key, text] : {std::tuple{"A]", "k", "v"}, {"A", "k=", "v"}, {"A", "k", "line\n[Evil]"},
                                      {"", "k", "v"}})
        EXPECT_FALSE(set(section, key, text)) << section << "/" << key;
    EXPECT_EQ(ReadTextFile(file), "[Color Depth]\nDefault Color Depth=4-Bit\n");
    EXPECT_EQ(get("Color Depth", "Other") + get("Elsewhere", "Name"), "nonenone");
    WriteTextFile(file, "; my settings\r\n[A]\r\nx = 1\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(get("a", "X"), "1");
    EXPECT_TRUE(set("A", "z", "3") && set("B", "y", "two") && set("C", "w", "4"));
    EXPECT_EQ(ReadTextFile(file), "; my settings\n[A]\nx = 1\nz=3\n\n[B]\ny=two\n\n[C]\nw=4\n");
    EXPECT_TRUE(set("A", "x", nullptr) && set("B", nullptr, nullptr));
    EXPECT_EQ(ReadTextFile(file), "; my settings\n[A]\nz=3\n\n[C]\nw=4\n");
    // Values and lists of names are cut to the buffer, a list to the buffer less two.
    QFile::remove(file);
    EXPECT_TRUE(set("S", "Alpha", "0123456789") && set("S", "Beta", "b") && set("T", "Long", QByteArray(300, 'v').constData()));
    EXPECT_EQ(std::tuple(get("S", "Alpha", 5), get("T", "Long"), get("S", nullptr), get(nullptr, nullptr),
                         get("S", nullptr, 8)),
              std::tuple("0123", QByteArray(254, 'v'), QByteArray("Alpha\0Beta\0", 11), QByteArray("S\0T\0", 4),
                         QByteArray("Alpha\0", 6)));
}

// Success tells of the last write only; NULs are dropped from a value. A
// stored position comes back, kept 4 pixels inside the screen; without
// stored keys the window stays as it is. Numbers round halves to even.
TEST(IniClass, SuccessFollowsTheLastWriteFormPositionsRoundTripAndNumbersRound) {
    cInifile ini;
    ini.setPath(ScratchFolder() + QStringLiteral("/Mireo.ini"));
    ini.setSection(QStringLiteral("Program"));
    ini.setKey(QStringLiteral("Name"));
    ini.setDefault(QStringLiteral("Mireo"));
    const auto write = [&ini](const char* key, const QString& value = QStringLiteral("v")) {
        ini.setKey(QLatin1String(key));
        ini.setValue(value);
    };
    EXPECT_TRUE(ini.LastReturnCode() == 0 && !ini.Success());
    EXPECT_EQ(ini.Value(), QStringLiteral("Mireo"));
    write("Name", QStringLiteral("Mi") + QChar(0) + QStringLiteral("reo"));
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(ReadTextFile(ini.path()), "[Program]\nName=Mireo\n");
    write("Bad=Key");
    EXPECT_FALSE(ini.Success());
    ini.setKey(QStringLiteral("Name"));
    EXPECT_EQ(ini.Value(), QStringLiteral("Mireo"));
    EXPECT_FALSE(ini.Success()) << "a read leaves the result of the last write";
    ini.setSection(QStringLiteral("Window"));
    QWidget window;
    window.setGeometry(40, 50, 300, 200);
    ini.LoadFormPosition(window, 100, 100);
    ini.SaveFormPosition(window);
    EXPECT_EQ(std::tuple(ini.key(), ini.Default()), std::tuple(QStringLiteral("Name"), QStringLiteral("Mireo")));
    window.setGeometry(10, 10, 120, 120);
    ini.LoadFormPosition(window, 100, 100);
    EXPECT_EQ(window.geometry(), QRect(40, 50, 300, 200));
    write("Left", QStringLiteral("-50"));
    write("Top", QStringLiteral("2"));
    ini.LoadFormPosition(window, 50, 50);
    EXPECT_EQ(window.geometry(), QRect(4, 4, 300, 200));
    const std::pair<const char*, int32_t> numbers[] = {{"42", 42}, {" -7 ", -7}, {"2.5", 2}, {"3.5", 4}, {"FAIL", 99},
                                                       {"", 99}, {"3000000000", 99}, {"-2147483648", INT32_MIN}};
    for (auto [text, expected] : numbers) EXPECT_EQ(cInifile::CLngDefault(QLatin1String(text), 99), expected) << text;
}

// The settings rules over a file of given content.
struct SettingsFile : testing::Test {
    cInifile ini;
    Settings settings;
    void SetUp() override { ASSERT_TRUE(InitializeSettingsFile(ini, ScratchFolder())); }
    SettingsRead read(const QByteArray& content) {
        WriteTextFile(ini.path(), content);
        return ReadSettings(ini, settings);
    }
    QByteArray written(const Settings& s, SelectedOptions options = {16, true, false}) {
        QFile::remove(ini.path());
        EXPECT_TRUE(WriteSettings(ini, s, options));
        return ReadTextFile(ini.path());
    }
};

// Block sizes are read as stored; a custom side outside 50 to 600 reads as 320.
TEST_F(SettingsFile, ReadsTheDefaultsAndTheFlagsMethodDepthBlocksAndCustomSidesAsStored) {
    settings.ShowCompressionWarning = false;
    const SettingsRead defaults = ReadSettings(ini, settings);
    EXPECT_TRUE(defaults.method == StoredMethod::Dithered && !defaults.failed);
    EXPECT_EQ(std::tuple(settings.DefaultColorDepth, settings.UseCompression, settings.ShowCompressionWarning),
              std::tuple(QStringLiteral("16-Bit"), false, true));
    EXPECT_EQ(std::tuple(settings.CustomWidth, settings.CustomHeight, settings.Block1Size, settings.Block2Size),
              std::tuple(320, 320, 51200, 30720));
    read("[Compression]\nUse Backimage Compression=TRUE\nShow Compression Warning=false\n"
         "[Image Block Size]\nBlock1=100\nBlock2=x\n[Color Depth]\nDefault Color Depth=8-bit\n");
    EXPECT_EQ(std::tuple(settings.DefaultColorDepth, settings.UseCompression, settings.ShowCompressionWarning,
                         settings.Block1Size, settings.Block2Size),
              std::tuple(QStringLiteral("8-bit"), true, false, 100, 30720)) << "blocks: no range test";
    read("[Compression]\nUse Backimage Compression=yes\nShow Compression Warning=maybe\n");
    EXPECT_TRUE(settings.UseCompression && !settings.ShowCompressionWarning) << "other words change nothing";
    for (auto [type, method] : {std::pair{"nearest color", StoredMethod::Nearest}, {"DITHERED", StoredMethod::Dithered},
                                {"Both", StoredMethod::None}})
        EXPECT_EQ(read(QByteArray("[Color Reduction Method]\nType=") + type + '\n').method, method) << type;
    const std::pair<const char*, int32_t> sides[] = {{"49", 320}, {"50", 50},   {"600", 600}, {"601", 320},
                                                     {"", 320},   {"abc", 320}, {"49.5", 50}, {"-3", 320}};
    for (auto [text, expected] : sides) {
        read(QByteArray("[Custom Size]\nWidth=") + text + "\nHeight=" + text + "\n");
        EXPECT_EQ(std::tuple(settings.CustomWidth, settings.CustomHeight), std::tuple(expected, expected)) << text;
    }
}

TEST_F(SettingsFile, WritesEveryKeyWithOutOfRangeValuesAsDefaultsOrSaysItFailed) {
    EXPECT_EQ(written({QString(), 600, 50, true, false, 5120, 51200}, {8, false, true}),
              "[Color Depth]\nDefault Color Depth=8-Bit\n\n[Color Reduction Method]\n"
              "Type=Nearest Color\n\n[Custom Size]\nWidth=600\nHeight=50\n\n[Compression]\n"
              "Use Backimage Compression=True\nShow Compression Warning=False\n\n[Image Block Size]\n"
              "Block1=5120\nBlock2=51200\n");
    const std::tuple<int32_t, int32_t, int32_t, int32_t, const char*> outOfRange[] = {
        {601, 49, 5119, 5120, "Width=320\nHeight=320\n"}, {601, 49, 51201, 51201, "Block1=51200\nBlock2=30720\n"}};
    for (auto [width, height, block1, block2, expected] : outOfRange) {
        const QByteArray file = written({QString(), width, height, false, true, block1, block2});
        EXPECT_TRUE(file.contains(expected) && file.contains("Block2=30720\n")) << file.constData();
    }
    const QByteArray none = written({}, {0, false, false});
    EXPECT_FALSE(none.contains("Default Color Depth") || none.contains("Type=")) << "no depth or method selected";
    EXPECT_TRUE(written({}, {4, true, true}).contains("Default Color Depth=4-Bit\n\n[Color Reduction Method]\nType=Dithered\n"));
    // A failed write is reported, and the read after it gives the defaults.
    QFile::remove(ini.path());
    QDir().mkpath(ini.path());
    EXPECT_FALSE(WriteSettings(ini, Settings{}, {16, true, false}));
    EXPECT_TRUE(ReadSettings(ini, settings).failed && settings.CustomWidth == 320);
}

} // namespace
