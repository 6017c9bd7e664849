// The program-wide variables.  They live from start to exit, belong to no
// window, and every part of the program uses them by these names.  One
// instance is made at start and handed to the windows.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "imaging/palettes.h"
#include "settings/settings.h"

// The BITMAP record of a captured picture.
struct PictureInfo {
    int32_t bmType = 0;
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
    int32_t bmWidthBytes = 0;
    int16_t bmPlanes = 1;
    int16_t bmBitsPixel = 0;
};

struct SharedState : Settings {
    // Start-up and the main window.
    QString AppPath;              // folder of Mireo.ini and temp, no trailing '/'
    bool IsWin9x = false;         // never true on this platform
    int32_t ScreenBits = 0;       // bits per pixel of the display
    QString TempBmpPath;          // AppPath + "/temp/temp.bmp"
    QString CurrentFile;          // the picture being worked on
    bool DroppedFileFlag = false;
    QString DroppedFileName;
    bool ImageLoaded = false;
    bool LogoShown = false;
    int16_t ColorDepthBits = 0;   // 16, 8 or 4
    bool Opt16Selected = false, Opt8Selected = false, Opt4Selected = false;
    // Option states recorded by SaveOptionStates.
    bool WantDithered = false, WantNearest = false;
    bool Want16Bit = false, Want8Bit = false, Want4Bit = false;
    bool ResizeWasEnabled = false;
    mireo::imaging::PaletteTable Palm8Palette = mireo::imaging::palm8Palette();
    mireo::imaging::PaletteTable Grey16Palette = mireo::imaging::grey16Palette();

    // Import and working files.
    int16_t ImageWidth = 0, ImageHeight = 0;    // the picture as loaded
    int32_t ImportWidth = 0, ImportHeight = 0;  // set when the size passed the limits
    int16_t ImageWindowWidth = 0, ImageWindowHeight = 0;  // twips
    std::vector<uint8_t> PicBits;  // captured pixels, 4 bytes each
    PictureInfo PicInfo;
    int32_t PicRowBytes = 0;
    bool ReloadFromBuffer = false;  // the next LoadImage converts picBuff unchanged
    bool LoadFromTemp = false;      // the next LoadImage takes temp.bmp as already reduced
    QString SizeChoice;             // "160x160" ... "480x480" or "Custom"
    int16_t ResizeWidth = 0, ResizeHeight = 0;

    // Building and opening a backimage.
    QString BackimageName;
    QString PdbSavePath;
    bool NameFromFile = false;
    int16_t CompressArg = 0;
    int32_t PdbSize = 0;
    QString PdbOpenPath;
    int32_t StoredDepth = 0;

    // Depth and reduction choice.
    bool NearestSelected = false, DitheredSelected = false;

    // Fitting a picture to a screen size.
    int16_t TargetWidth = 0, TargetHeight = 0;
    int16_t BackRed = 255, BackGreen = 255, BackBlue = 255;  // border colour
    double CropScale = 1;
    int16_t CropOffsetX = 0, CropOffsetY = 0;
    double CropAspect = 1;
    bool LargeImageReduced = false;
};
