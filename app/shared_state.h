// Program-wide variables.  They live from start to exit, belong to no
// window, and every part of the program uses them by these names.
#pragma once

#include <QString>
#include <cstdint>

// Start-up and the main window.
inline QString AppPath;           // folder of Mireo.ini and temp, no trailing '/'
inline bool IsWin9x = false;      // never true on this platform
inline int32_t ScreenBits = 0;    // bits per pixel of the display
inline QString TempBmpPath;       // AppPath + "/temp/temp.bmp"
inline QString CurrentFile;
inline bool DroppedFileFlag = false;
inline QString DroppedFileName;
inline bool ImageLoaded = false;
inline bool LogoShown = false;
inline int16_t ColorDepthBits = 0;
inline bool Opt16Selected = false;
inline bool Opt8Selected = false;
inline bool Opt4Selected = false;

// Import.
inline bool ReloadFromBuffer = false;  // the next LoadImage converts picBuff unchanged
inline bool LoadFromTemp = false;      // the next LoadImage takes temp.bmp as already reduced

// Option states recorded by SaveOptionStates.
inline bool WantDithered = false;
inline bool WantNearest = false;
inline bool Want16Bit = false;
inline bool Want8Bit = false;
inline bool Want4Bit = false;
inline bool ResizeWasEnabled = false;

// Settings kept in Mireo.ini.
inline QString DefaultColorDepth;
inline int32_t CustomWidth = 0;
inline int32_t CustomHeight = 0;
inline bool UseCompression = false;
inline bool ShowCompressionWarning = false;
inline int32_t Block1Size = 0;
inline int32_t Block2Size = 0;

// Puts every variable above back to its value at program start.
void ResetSharedState();
