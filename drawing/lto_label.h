// The LTO Ultrium label drawn in its cell: a row of text boxes, one for each
// character of the volume serial and one for the media ID, over a Code 39
// symbol of the serial and media ID without check character, the whole
// centred in the cell. Sizes are millimetres.
#pragma once

#include <cstddef>
#include <string>

#include "drawing/label_kinds.h"
#include "drawing/surface.h"

namespace linomark {

inline constexpr float kLtoNarrow = 0.4233f;  // 1/60 in
inline constexpr float kLtoWideRatio = 2.75f;
inline constexpr float kLtoWide = kLtoNarrow * kLtoWideRatio;
// A label too narrow for the nominal symbol gets a finer one, never finer
// than this.
inline constexpr float kLtoMinimumNarrow = 0.30f;
inline constexpr float kLtoBarHeight = 11.4f;  // the libraries ask for 11.1 at least
// On each side of the bars, inside the label: this much and 10 narrow elements.
inline constexpr float kLtoQuietZone = 4.5f;
inline constexpr int kLtoQuietNarrows = 10;
// Serial and media ID: the value the label's symbol and boxes are made of.
inline constexpr std::size_t kLtoValueLength = 8;
// Boxes, gap and bars with 0.5 mm to spare at the top and the bottom.
inline constexpr float kLtoMinimumHeight = 16.8f;

// "*" + value + "*".
std::u32string LtoValueSymbolText(const std::u32string& value);

// The narrow element for a label of this width: the nominal one where the
// symbol of an eight-character value and its quiet zones fit, else the
// largest that fits, in whole hundredths (0.40 on a 70 mm label). Below
// kLtoMinimumNarrow the label is too narrow for the symbol.
float LtoNarrowFor(float labelWidth);
// The bars on a label this wide: on a known grid the narrow element is the
// nominal one in whole dots where the symbol and its quiet zones fit, else
// the largest whole count that fits (at least one dot); the wide one is
// round(2.75 x narrow) dots. Without a grid, LtoNarrowFor's.
BarWidths LtoBarWidths(float labelWidth, const DotGrid& dots = {});
// The narrowest label that takes the symbol at kLtoMinimumNarrow.
float LtoMinimumLabelWidth();

// Where the ink of a label lies, from its cell's top-left corner.
struct LtoInk {
    float left;
    float top;
    float right;
    float bottom;
};
LtoInk LtoInkIn(float cellWidth, float cellHeight, std::size_t valueLength,
                const DotGrid& dots = {});

// The label of value (serial then the two characters of the media ID) in the
// cell whose top-left corner is (x, y). With style.colour the digits' boxes
// are filled with the colour of their digit; without it the label is black
// on white. The ink is black again afterwards.
void PrintLtoLabel(DrawingSurface& surface, float x, float y, const std::u32string& value,
                   const LabelStyle& style);

}  // namespace linomark
