#include "shared_state.h"

void ResetSharedState() {
    AppPath.clear();
    IsWin9x = false;
    ScreenBits = 0;
    TempBmpPath.clear();
    CurrentFile.clear();
    DroppedFileFlag = false;
    DroppedFileName.clear();
    ImageLoaded = false;
    LogoShown = false;
    ColorDepthBits = 0;
    ReloadFromBuffer = LoadFromTemp = false;
    Opt16Selected = Opt8Selected = Opt4Selected = false;
    WantDithered = WantNearest = false;
    Want16Bit = Want8Bit = Want4Bit = false;
    ResizeWasEnabled = false;
    DefaultColorDepth.clear();
    CustomWidth = CustomHeight = 0;
    UseCompression = ShowCompressionWarning = false;
    Block1Size = Block2Size = 0;
}
