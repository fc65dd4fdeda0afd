#pragma once
// Window measures are given in twips; the screen has 15 twips to a pixel.

#include <QRect>

namespace gleanery {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twips(int value) { return value / kTwipsPerPixel; }
constexpr int toTwips(int pixels) { return pixels * kTwipsPerPixel; }
inline QRect twipRect(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
}

}  // namespace gleanery
