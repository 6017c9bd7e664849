// The settings kept in Mireo.ini, and the rules by which they are read and
// written.  Plain functions over a struct and the settings object: the
// windows apply what they return.
#pragma once

#include <QString>
#include <cstdint>

#include "imaging/build_pdb.h"
#include "imaging/sizes.h"

class cInifile;

struct Settings {
    QString DefaultColorDepth;  // "16-Bit", "8-Bit" or "4-Bit" as stored
    int32_t CustomWidth = 0;
    int32_t CustomHeight = 0;
    bool UseCompression = false;
    bool ShowCompressionWarning = false;
    int32_t Block1Size = 0;
    int32_t Block2Size = 0;
};

// The reduction option a stored "Type" selects.
enum class StoredMethod { None, Dithered, Nearest };

// Gives the settings object its file and writes the program's name there;
// false when that write failed.
bool InitializeSettingsFile(cInifile& ini, const QString& appPath);

// Reads every setting into `settings` (compression flags keep their value
// unless the text is "True" or "False"); returns the stored method.
// `failed` tells whether the object's most recent write failed.
struct SettingsRead {
    StoredMethod method = StoredMethod::None;
    bool failed = false;
};
SettingsRead ReadSettings(cInifile& ini, Settings& settings);

// What the main window shows when the settings are written: the selected
// depth (16, 8, 4, or 0 for none) and reduction option.
struct SelectedOptions {
    int depth = 0;
    bool dithered = false;
    bool nearest = false;
};
// Writes every setting, out-of-range values as their defaults; false when
// the last write failed.
bool WriteSettings(cInifile& ini, const Settings& settings, const SelectedOptions& options);
