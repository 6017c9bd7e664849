// Window geometry is kept in twips, 15 to the pixel on this display.
#pragma once

constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }
