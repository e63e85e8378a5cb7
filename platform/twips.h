#pragma once
// Screen measures are kept in twips, as the stored layouts give them:
// 15 twips are one pixel.

#include <QRect>

namespace twips {

constexpr int kTwipsPerPixel = 15;

constexpr int toPixels(int tw) { return (tw + (tw >= 0 ? kTwipsPerPixel / 2 : -kTwipsPerPixel / 2)) / kTwipsPerPixel; }
constexpr int fromPixels(int px) { return px * kTwipsPerPixel; }

// A control's design place, left, top, width and height in twips.
inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

}  // namespace twips

inline constexpr int twipsToPixels(int tw) { return twips::toPixels(tw); }
inline constexpr int pixelsToTwips(int px) { return twips::fromPixels(px); }
