#pragma once

#include <QRect>

// The window's layout is written in twips, 1440 to the inch, 15 to a logical
// pixel, and placed in logical pixels: Qt's device-independent pixels handle
// high-DPI screens.
constexpr int kTwipsPerLogicalPixel = 15;

constexpr int twipsToPixels(int twips)
{
    // Round half away from zero so that negative positions mirror positive ones.
    return twips >= 0 ? (twips + kTwipsPerLogicalPixel / 2) / kTwipsPerLogicalPixel
                      : -((-twips + kTwipsPerLogicalPixel / 2) / kTwipsPerLogicalPixel);
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}
