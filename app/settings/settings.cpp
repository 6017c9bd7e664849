#include "settings/settings.h"

#include "settings/ini_file.h"

namespace {

namespace im = mireo::imaging;

bool sameText(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

void locate(cInifile& ini, const char* section, const char* key, const char* fallback) {
    ini.setSection(QLatin1String(section));
    ini.setKey(QLatin1String(key));
    ini.setDefault(QLatin1String(fallback));
}

QString readText(cInifile& ini, const char* section, const char* key, const char* fallback) {
    locate(ini, section, key, fallback);
    return ini.Value();
}

// "True" and "False" in any letter case set `flag`; other text leaves it.
void readFlag(cInifile& ini, const char* key, const char* fallback, bool& flag) {
    const QString text = readText(ini, "Compression", key, fallback);
    if (sameText(text, "True")) flag = true;
    else if (sameText(text, "False")) flag = false;
}

// A custom size side within the custom limits; anything else (also no
// number) is the default side.
int32_t readCustomSide(cInifile& ini, const char* key) {
    const QString text = readText(ini, "Custom Size", key, "320");
    bool isNumber = false;
    const double number = text.trimmed().toDouble(&isNumber);
    const bool inRange = isNumber && number > im::kMinCustomSide - 1 && number < im::kMaxCustomSide + 1;
    return inRange ? cInifile::CLngDefault(text, im::kDefaultCustomSide) : im::kDefaultCustomSide;
}

void writeText(cInifile& ini, const char* section, const char* key, const QString& text) {
    locate(ini, section, key, "");
    ini.setValue(text);
}

QString inRangeOr(int32_t value, int32_t low, int32_t high, int32_t fallback) {
    return QString::number(value >= low && value <= high ? value : fallback);
}

QString trueFalse(bool flag) { return flag ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace

bool InitializeSettingsFile(cInifile& ini, const QString& appPath) {
    ini.setPath(appPath + QStringLiteral("/Mireo.ini"));
    locate(ini, "Program", "Name", "Mireo");
    ini.setValue(QStringLiteral("Mireo"));
    return ini.Success();
}

SettingsRead ReadSettings(cInifile& ini, Settings& s) {
    SettingsRead read;
    s.DefaultColorDepth = readText(ini, "Color Depth", "Default Color Depth", "16-Bit");
    if (sameText(readText(ini, "Color Reduction Method", "Type", "Dithered"), "Dithered"))
        read.method = StoredMethod::Dithered;
    if (sameText(ini.Value(), "Nearest Color")) read.method = StoredMethod::Nearest;
    s.CustomWidth = readCustomSide(ini, "Width");
    s.CustomHeight = readCustomSide(ini, "Height");
    readFlag(ini, "Use Backimage Compression", "False", s.UseCompression);
    readFlag(ini, "Show Compression Warning", "True", s.ShowCompressionWarning);
    // Block sizes are taken as stored; writing puts them back in range.
    s.Block1Size = cInifile::CLngDefault(readText(ini, "Image Block Size", "Block1", "51200"), im::kDefaultBlock1Size);
    s.Block2Size = cInifile::CLngDefault(readText(ini, "Image Block Size", "Block2", "30720"), im::kDefaultBlock2Size);
    read.failed = !ini.Success();
    return read;
}

bool WriteSettings(cInifile& ini, const Settings& s, const SelectedOptions& options) {
    const char* depth = options.depth == 16 ? "16-Bit" : options.depth == 8 ? "8-Bit" : options.depth == 4 ? "4-Bit"
                                                                                                         : nullptr;
    if (depth) writeText(ini, "Color Depth", "Default Color Depth", QLatin1String(depth));
    if (options.dithered)
        writeText(ini, "Color Reduction Method", "Type", QStringLiteral("Dithered"));
    else if (options.nearest)
        writeText(ini, "Color Reduction Method", "Type", QStringLiteral("Nearest Color"));
    writeText(ini, "Custom Size", "Width",
              inRangeOr(s.CustomWidth, im::kMinCustomSide, im::kMaxCustomSide, im::kDefaultCustomSide));
    writeText(ini, "Custom Size", "Height",
              inRangeOr(s.CustomHeight, im::kMinCustomSide, im::kMaxCustomSide, im::kDefaultCustomSide));
    writeText(ini, "Compression", "Use Backimage Compression", trueFalse(s.UseCompression));
    writeText(ini, "Compression", "Show Compression Warning", trueFalse(s.ShowCompressionWarning));
    writeText(ini, "Image Block Size", "Block1",
              inRangeOr(s.Block1Size, im::kMinBlock1Size, im::kMaxBlockSize, im::kDefaultBlock1Size));
    writeText(ini, "Image Block Size", "Block2",
              inRangeOr(s.Block2Size, im::kMinBlock2Size, im::kMaxBlockSize, im::kDefaultBlock2Size));
    return ini.Success();
}
