// The label types as one table: each row holds a type's symbol rules, its
// printed size, its text band and its drawing procedures. Adding a type adds
// a row; nothing else branches on the type.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "drawing/bars.h"
#include "drawing/surface.h"
#include "symbology/label_type.h"

namespace linomark {

// What a procedure knows of the label it draws: the cell it stands in
// (millimetres), whether colour is wanted, and the printer's dots.
struct LabelStyle {
    LabelStyle(float cellWidth = 0.0f, float cellHeight = 0.0f, bool colour = false,
               const DotGrid& dots = {})
        : cellWidth(cellWidth), cellHeight(cellHeight), colour(colour), dots(dots) {}
    float cellWidth;
    float cellHeight;
    bool colour;
    DotGrid dots;
};

struct LabelKind;

// Draws a label of its kind from its value with the top-left corner of its
// first bar (the window's types) or of its cell (LTO) at (x, y).
using DrawLabel = void (*)(DrawingSurface& surface, const LabelKind& kind, float x, float y,
                           const std::u32string& value, const LabelStyle& style);

enum class TextBand { ValueBelow, SpacedAbove, BoxesAbove };

// A point of a cell or of the preview box, from its top-left corner.
struct LabelOffset {
    float x = 0.0f;
    float y = 0.0f;
};

// A black strip across a whole row of the sheet, from the row's top edge.
struct RowStrip {
    float top;
    float bottom;
};

struct LabelKind {
    LabelType type;
    std::string_view name;
    std::u32string (*symbolText)(const std::u32string& value);  // the symbol rules
    float narrow;     // printed narrow element, millimetres
    float wide;       // printed wide element, millimetres
    float barHeight;  // printed bars, millimetres
    TextBand band;
    DrawLabel print;                      // on paper
    DrawLabel preview;                    // in a preview; the window's box for its two types
    LabelOffset inCell;                   // where print's (x, y) stands in the label's cell
    LabelOffset inPreview;                // where preview's (x, y) stands in the window's box
    std::span<const RowStrip> rowStrips;  // strips across each row of the sheet
};

const LabelKind& LabelKindOf(LabelType type);

// The kind's printed bars, in whole dots on a known grid.
BarWidths PrintedBarWidths(const LabelKind& kind, const DotGrid& dots = {});

// From the left edge of the first bar to the right edge of the last one, in
// millimetres: every alphabet character of the symbol and the gap after it
// take 3 wide + 7 narrow elements, less the gap after the last. Characters
// outside the alphabet draw nothing and take no room.
float PrintedBarsWidth(const LabelKind& kind, const std::u32string& value,
                       const DotGrid& dots = {});

}  // namespace linomark
