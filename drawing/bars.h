// The one bar drawer of every symbol (the window's two types, LTO labels and
// the previews), and the printer's dot grid that the printed bars keep to.
#pragma once

#include <string>

#include "drawing/surface.h"

namespace linomark {

// The dots of the printer a page is made for, in the surface's millimetres:
// the size of one dot and where the paper's corner lies from the surface's
// origin (the printable corner, moved by the alignment offset), since the
// printer counts its dots from the paper's corner. No dot (0): nothing is
// rounded, and the widths stay nominal.
struct DotGrid {
    float dot = 0.0f;
    float paperX = 0.0f;
    float paperY = 0.0f;

    [[nodiscard]] bool Known() const { return dot > 0.0f; }
    // The dot edge nearest to x (y); x itself without a grid.
    [[nodiscard]] float SnapX(float x) const;
    [[nodiscard]] float SnapY(float y) const;
    // Whole dots nearest to a length, at least one.
    [[nodiscard]] int DotsIn(float length) const;
};

// A grid of so many dots per inch, its paper's corner at (paperX, paperY).
DotGrid DotGridOf(int dotsPerInch, float paperX, float paperY);

// The element widths of one symbol in the surface's unit and how tall its
// bars are. Each bar is drawn inset from both its edges: a renderer that
// fills every dot a bar touches and one that fills dots by their centres
// then fill exactly the bar's dots.
struct BarWidths {
    float narrow;
    float wide;
    float height;
    float inset = 0.0f;
};

// On a grid: the narrow element is round(narrow / dot) dots, the wide one
// round(ratio x narrow) dots, ratio being wide / narrow; without one, as given.
BarWidths OnDots(const BarWidths& nominal, const DotGrid& grid);
// The same with the narrow element given in dots.
BarWidths WithNarrowDots(const BarWidths& nominal, const DotGrid& grid, int narrowDots);

// Walks the element sequence ("W", "N", "L", "S") from x: every bar a box
// from y down by the height, every element moves the pen by its width.
// Returns the end position, one narrow gap beyond the last bar.
float DrawBars(DrawingSurface& surface, float x, float y, const std::string& elements,
               const BarWidths& widths);

}  // namespace linomark
