#include "drawing/lto_label.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "symbology/code39.h"

namespace linomark {
namespace {

// Every character is 3 wide and 6 narrow elements and a narrow gap:
// 3 * 2.75 + 7 = 15.25 narrows; the last character has no gap after it.
constexpr float kNarrowsPerCharacter = 3.0f * kLtoWideRatio + 7.0f;

float SymbolWidth(std::size_t valueLength, float narrow) {
    const auto characters = static_cast<float>(valueLength + 2);  // with the two stars
    return (characters * kNarrowsPerCharacter - 1.0f) * narrow;
}

// Every character 3 wide and 7 narrow elements, less the gap after the last.
float SymbolWidth(std::size_t valueLength, const BarWidths& widths) {
    const auto characters = static_cast<float>(valueLength + 2);
    return characters * (3.0f * widths.wide + 7.0f * widths.narrow) - widths.narrow;
}

bool FitsWithQuietZones(const BarWidths& widths, float labelWidth) {
    const float quiet = std::max(kLtoQuietZone, kLtoQuietNarrows * widths.narrow);
    return SymbolWidth(kLtoValueLength, widths) + 2.0f * quiet <= labelWidth;
}

// The colour code of the digits 0 to 9, as the common LTO label tools print it.
constexpr std::array<Rgb, 10> kDigitColours{{
    {0xBB, 0x28, 0x2E},  // red
    {0xFA, 0xE5, 0x4A},  // yellow
    {0x9A, 0xC6, 0x53},  // light green
    {0x01, 0xA5, 0xE2},  // blue
    {0x9E, 0xAA, 0xB6},  // grey
    {0xD9, 0x7E, 0x35},  // orange
    {0xE2, 0x7B, 0x99},  // pink
    {0x67, 0xA9, 0x45},  // green
    {0xF6, 0xB8, 0x55},  // tan
    {0x70, 0x5A, 0x81},  // purple
}};
static_assert(kDigitColours.size() == 10);

// Text boxes, then a gap, then the bars: 4.0 + 0.4 + 11.4 = 15.8 mm.
constexpr float kBoxHeight = 4.0f;
constexpr float kBoxGap = 0.4f;
constexpr float kBlockHeight = kBoxHeight + kBoxGap + kLtoBarHeight;
static_assert(kBlockHeight + 2 * 0.5f <= kLtoMinimumHeight);
constexpr float kOutline = 0.15f;
// The media ID's box holds two characters: two shares of the width to one.
constexpr float kMediaShares = 2.0f;

// Bold 14 pt: Liberation Sans (Arial's metric twin) has capitals 0.688 em
// high, 3.40 mm; their middle lies 0.905 - 0.688 / 2 = 0.561 em below the
// top of the text line (its ascent is 0.905 em).
constexpr char kFontFace[] = "Arial";
constexpr float kFontPoints = 14.0f;
constexpr float kMillimetresPerPoint = 25.4f / 72.0f;
constexpr float kCapMiddleEms = 0.561f;

// WCAG relative luminance of an sRGB colour.
double Luminance(Rgb c) {
    const auto linear = [](std::uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

// Black or white, whichever has the larger contrast ratio with the fill.
Rgb InkOn(Rgb fill) {
    const double l = Luminance(fill);
    return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? kBlack : kWhite;
}

struct Box {
    float left;
    float top;
    float right;
    float bottom;
};

void DrawOutline(DrawingSurface& surface, const Box& b) {
    surface.FillBox(b.left, b.top, b.right, b.top + kOutline);
    surface.FillBox(b.left, b.bottom - kOutline, b.right, b.bottom);
    surface.FillBox(b.left, b.top, b.left + kOutline, b.bottom);
    surface.FillBox(b.right - kOutline, b.top, b.right, b.bottom);
}

void DrawCentred(DrawingSurface& surface, const Box& b, const std::u32string& text) {
    const float width = surface.TextWidth(text);
    surface.SetCurrentX((b.left + b.right - width) / 2.0f);
    surface.SetCurrentY((b.top + b.bottom) / 2.0f -
                        kCapMiddleEms * kFontPoints * kMillimetresPerPoint);
    surface.PrintText(text);
}

// One box: its fill (a digit's colour), its outline, its characters.
void DrawTextBox(DrawingSurface& surface, const Box& b, const std::u32string& text, bool colour) {
    const bool filled = colour && text.size() == 1 && text[0] >= U'0' && text[0] <= U'9';
    if (filled) {
        const Rgb fill = kDigitColours[text[0] - U'0'];
        surface.SetColour(fill);
        surface.FillBox(b.left, b.top, b.right, b.bottom);
        surface.SetColour(kBlack);
        DrawOutline(surface, b);
        surface.SetColour(InkOn(fill));
        DrawCentred(surface, b, text);
        surface.SetColour(kBlack);
        return;
    }
    DrawOutline(surface, b);
    DrawCentred(surface, b, text);
}

void DrawTextBoxes(DrawingSurface& surface, float left, float top, float width,
                   const std::u32string& value, bool colour) {
    const std::size_t serialLength = value.size() - 2;
    const float share = width / (static_cast<float>(serialLength) + kMediaShares);
    surface.SetFontFace(kFontFace);
    surface.SetFontSize(kFontPoints);
    surface.SetBold(true);
    for (std::size_t i = 0; i < serialLength; ++i) {
        const float boxLeft = left + static_cast<float>(i) * share;
        DrawTextBox(surface, {boxLeft, top, boxLeft + share, top + kBoxHeight}, value.substr(i, 1),
                    colour);
    }
    const float mediaLeft = left + static_cast<float>(serialLength) * share;
    DrawTextBox(surface, {mediaLeft, top, left + width, top + kBoxHeight},
                value.substr(serialLength), colour);
    surface.SetBold(false);
}

}  // namespace

std::u32string LtoValueSymbolText(const std::u32string& value) { return U"*" + value + U"*"; }

// The symbol and two quiet zones of max(4.5 mm, 10 narrows) each fill the
// label: 151.5 n + 9 <= 70 gives n <= 0.4026 on a 70 mm label.
float LtoNarrowFor(float labelWidth) {
    const float symbolNarrows = SymbolWidth(kLtoValueLength, 1.0f);
    const float byQuietZone = (labelWidth - 2.0f * kLtoQuietZone) / symbolNarrows;
    const float byQuietNarrows = labelWidth / (symbolNarrows + 2.0f * kLtoQuietNarrows);
    const float largest = std::min(byQuietZone, byQuietNarrows);
    if (largest >= kLtoNarrow) return kLtoNarrow;
    return std::floor(largest * 100.0f + 1e-3f) / 100.0f;
}

// 151.5 * 0.30 + 2 * 4.5 = 54.45 mm.
float LtoMinimumLabelWidth() {
    return SymbolWidth(kLtoValueLength, kLtoMinimumNarrow) + 2.0f * kLtoQuietZone;
}

BarWidths LtoBarWidths(float labelWidth, const DotGrid& dots) {
    const BarWidths nominal{kLtoNarrow, kLtoWide, kLtoBarHeight};
    if (!dots.Known()) {
        const float narrow = LtoNarrowFor(labelWidth);
        return {narrow, narrow * kLtoWideRatio, kLtoBarHeight};
    }
    int narrowDots = dots.DotsIn(kLtoNarrow);
    while (narrowDots > 1 &&
           !FitsWithQuietZones(WithNarrowDots(nominal, dots, narrowDots), labelWidth)) {
        --narrowDots;
    }
    return WithNarrowDots(nominal, dots, narrowDots);
}

LtoInk LtoInkIn(float cellWidth, float cellHeight, std::size_t valueLength, const DotGrid& dots) {
    const BarWidths widths = LtoBarWidths(cellWidth, dots);
    const float width =
        dots.Known() ? SymbolWidth(valueLength, widths) : SymbolWidth(valueLength, widths.narrow);
    const float left = (cellWidth - width) / 2.0f;
    const float top = (cellHeight - kBlockHeight) / 2.0f;
    return {left, top, left + width, top + kBlockHeight};
}

void PrintLtoLabel(DrawingSurface& surface, float x, float y, const std::u32string& value,
                   const LabelStyle& style) {
    if (value.size() < 3) return;  // a serial of one character at least, and the media ID
    const LtoInk ink = LtoInkIn(style.cellWidth, style.cellHeight, value.size(), style.dots);
    const float left = style.dots.SnapX(x + ink.left);
    DrawTextBoxes(surface, left, y + ink.top, ink.right - ink.left, value, style.colour);
    DrawBars(surface, left, y + ink.top + kBoxHeight + kBoxGap,
             BuildElementSequence(LtoValueSymbolText(value)),
             LtoBarWidths(style.cellWidth, style.dots));
}

}  // namespace linomark
