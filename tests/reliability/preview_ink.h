// Reading the preview picture back in the box's own units, 53 across by
// 20.373 down, whatever its size in pixels.
#pragma once

#include <QImage>

namespace reliability {

constexpr double kUnitWidth = 53.0;
constexpr double kUnitHeight = 20.373;

inline bool IsDark(const QImage& picture, int x, int y) { return qGray(picture.pixel(x, y)) < 128; }
inline int PixelY(const QImage& picture, double y) {
    return static_cast<int>(y * picture.height() / kUnitHeight);
}

// Alternations from white to black along the row at height y (box units).
inline int DarkRunsAcross(const QImage& picture, double y) {
    int runs = 0;
    bool wasDark = false;
    for (int x = 0; x < picture.width(); ++x) {
        const bool dark = IsDark(picture, x, PixelY(picture, y));
        runs += dark && !wasDark;
        wasDark = dark;
    }
    return runs;
}

// Dark pixels between two heights and from a left edge on, in box units.
inline int InkIn(const QImage& picture, double top, double bottom, double left = 0.0) {
    int count = 0;
    for (int y = PixelY(picture, top); y < PixelY(picture, bottom); ++y) {
        for (int x = static_cast<int>(left * picture.width() / kUnitWidth); x < picture.width();
             ++x) {
            count += IsDark(picture, x, y);
        }
    }
    return count;
}

}  // namespace reliability
