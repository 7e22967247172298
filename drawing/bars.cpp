#include "drawing/bars.h"

#include <algorithm>
#include <cmath>

namespace linomark {
namespace {

constexpr double kMillimetresPerInch = 25.4;
// How far each bar stays inside its dots, in dots. Measured through CUPS's
// own drivers (Zebra ZPL at 203 dpi, HP LaserJet PCL at 300 and 600 dpi,
// rasterised by Ghostscript): bars whose edges lie on dot edges fill exactly
// their dots with any inset from 0 to 0.5 dot; a page moved 1.4 dots off the
// grid gained a dot per bar at 0.25 and none at 0.45. A quarter of a dot
// keeps a renderer that fills by dot centres (poppler) exact, and leaves a
// quarter of a dot either way for a page moved a fraction off the grid.
constexpr float kInsetDots = 0.25f;

float Snap(float value, float origin, float dot) {
    if (dot <= 0.0f) return value;
    const double dots = std::round((double{value} - origin) / dot);
    return static_cast<float>(origin + dots * dot);
}

}  // namespace

float DotGrid::SnapX(float x) const { return Snap(x, paperX, dot); }
float DotGrid::SnapY(float y) const { return Snap(y, paperY, dot); }

int DotGrid::DotsIn(float length) const {
    return std::max(1, static_cast<int>(std::lround(length / dot)));
}

DotGrid DotGridOf(int dotsPerInch, float paperX, float paperY) {
    if (dotsPerInch <= 0) return {};
    return {static_cast<float>(kMillimetresPerInch / dotsPerInch), paperX, paperY};
}

BarWidths WithNarrowDots(const BarWidths& nominal, const DotGrid& grid, int narrowDots) {
    const float ratio = nominal.wide / nominal.narrow;
    const long wideDots = std::lround(ratio * static_cast<float>(narrowDots));
    return {static_cast<float>(narrowDots) * grid.dot, static_cast<float>(wideDots) * grid.dot,
            nominal.height, kInsetDots * grid.dot};
}

BarWidths OnDots(const BarWidths& nominal, const DotGrid& grid) {
    if (!grid.Known()) return nominal;
    return WithNarrowDots(nominal, grid, grid.DotsIn(nominal.narrow));
}

float DrawBars(DrawingSurface& surface, float x, float y, const std::string& elements,
               const BarWidths& widths) {
    const float bottom = y + widths.height;
    float pen = x;
    for (const char element : elements) {
        const bool wide = element == 'W' || element == 'L';
        const float width = wide ? widths.wide : widths.narrow;
        if (element == 'W' || element == 'N') {
            surface.FillBox(pen + widths.inset, y, pen + width - widths.inset, bottom);
        }
        if (wide || element == 'N' || element == 'S') pen += width;
    }
    return pen;
}

}  // namespace linomark
