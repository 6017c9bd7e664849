// The settings in Mireo.ini: created at start-up, read into the shared
// variables and the main window's options, written back on exit.
#include <QToolButton>

#include "dialogs.h"
#include "form1.h"
#include "mdi_main.h"
#include "shared_state.h"

namespace {

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

// A custom size side: 50 to 600, anything else (also no number) is 320.
int32_t readCustomSide(cInifile& ini, const char* key) {
    const QString text = readText(ini, "Custom Size", key, "320");
    bool isNumber = false;
    const double number = text.trimmed().toDouble(&isNumber);
    return isNumber && number > 49 && number < 601 ? cInifile::CLngDefault(text, 320) : 320;
}

void writeText(cInifile& ini, const char* section, const char* key, const QString& text) {
    locate(ini, section, key, "");
    ini.setValue(text);
}

QString inRangeOr(int32_t value, int32_t low, int32_t high, const char* fallback) {
    return value >= low && value <= high ? QString::number(value) : QLatin1String(fallback);
}

QString trueFalse(bool flag) { return flag ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace

void Form1::InitializeIni() {
    cInifile& ini = settings();
    ini.setPath(AppPath + QStringLiteral("/Mireo.ini"));
    locate(ini, "Program", "Name", "Mireo");
    ini.setValue(QStringLiteral("Mireo"));
    if (!ini.Success()) MsgBox(QStringLiteral("Failed to save value to Mireo.ini file."), MessageIcon::Information);
}

void Form1::ReadINI() {
    cInifile& ini = settings();
    DefaultColorDepth = readText(ini, "Color Depth", "Default Color Depth", "16-Bit");
    if (sameText(readText(ini, "Color Reduction Method", "Type", "Dithered"), "Dithered"))
        main_.optDithered->setChecked(true);
    if (sameText(ini.Value(), "Nearest Color")) main_.optNearestCol->setChecked(true);
    CustomWidth = readCustomSide(ini, "Width");
    CustomHeight = readCustomSide(ini, "Height");
    readFlag(ini, "Use Backimage Compression", "False", UseCompression);
    readFlag(ini, "Show Compression Warning", "True", ShowCompressionWarning);
    // Block sizes are taken as stored; writing puts them back in range.
    Block1Size = cInifile::CLngDefault(readText(ini, "Image Block Size", "Block1", "51200"), 51200);
    Block2Size = cInifile::CLngDefault(readText(ini, "Image Block Size", "Block2", "30720"), 30720);
    if (!ini.Success()) MsgBox(QStringLiteral("Failed to get value from Mireo.ini."), MessageIcon::Information);
}

void Form1::WriteINI() {
    cInifile& ini = settings();
    Opt16Selected = main_.opt16Bit->isChecked();
    Opt8Selected = main_.opt8Bit->isChecked();
    Opt4Selected = main_.opt4Bit->isChecked();
    const char* depth = Opt16Selected ? "16-Bit" : Opt8Selected ? "8-Bit" : Opt4Selected ? "4-Bit" : nullptr;
    if (depth) writeText(ini, "Color Depth", "Default Color Depth", QLatin1String(depth));
    if (main_.optDithered->isChecked())
        writeText(ini, "Color Reduction Method", "Type", QStringLiteral("Dithered"));
    else if (main_.optNearestCol->isChecked())
        writeText(ini, "Color Reduction Method", "Type", QStringLiteral("Nearest Color"));
    writeText(ini, "Custom Size", "Width", inRangeOr(CustomWidth, 50, 600, "320"));
    writeText(ini, "Custom Size", "Height", inRangeOr(CustomHeight, 50, 600, "320"));
    writeText(ini, "Compression", "Use Backimage Compression", trueFalse(UseCompression));
    writeText(ini, "Compression", "Show Compression Warning", trueFalse(ShowCompressionWarning));
    writeText(ini, "Image Block Size", "Block1", inRangeOr(Block1Size, 5120, 51200, "51200"));
    writeText(ini, "Image Block Size", "Block2", inRangeOr(Block2Size, 5121, 51200, "30720"));
    if (!ini.Success()) MsgBox(QStringLiteral("Failed to save value to Mireo.ini file."), MessageIcon::Information);
}
