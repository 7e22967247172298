#include "drawing/label_kinds.h"

#include <array>

#include "drawing/label.h"
#include "drawing/lto_label.h"
#include "symbology/code39.h"

namespace linomark {

namespace {

// A procedure of the symbol text (label.h) as a row's procedure of the value:
// the row's own symbol rules make the symbol text, its sizes on the printer's
// dots the bars.
using PrintSymbolText = void (*)(DrawingSurface&, float, float, const std::u32string&,
                                 const BarWidths&);
using PreviewSymbolText = void (*)(DrawingSurface&, float, float, const std::u32string&);

template <PrintSymbolText draw>
void Printed(DrawingSurface& surface, const LabelKind& kind, float x, float y,
             const std::u32string& value, const LabelStyle& style) {
    draw(surface, x, y, kind.symbolText(value), PrintedBarWidths(kind, style.dots));
}

template <PreviewSymbolText draw>
void Previewed(DrawingSurface& surface, const LabelKind& kind, float x, float y,
               const std::u32string& value, const LabelStyle&) {
    draw(surface, x, y, kind.symbolText(value));
}

void LtoLabel(DrawingSurface& surface, const LabelKind&, float x, float y,
              const std::u32string& value, const LabelStyle& style) {
    PrintLtoLabel(surface, x, y, value, style);
}

// Type 0: a wide element of 0.9906 mm (0.039 in) and a narrow one a third of
// it, in single precision as the printed sizes have always been divided.
constexpr float kWideType0 = 0.9906f;
constexpr float kWideType1 = 1.05f;

// The three strips of a type 1 row, from the row's top edge: the first ends
// where the bars start (6.3), the second starts where they end (6.3 + 7.1).
constexpr std::array<RowStrip, 3> kType1Strips{{{5.8f, 6.3f}, {13.4f, 13.9f}, {18.5f, 19.0f}}};

// One row per label type, at the index of its type. Both window types stand
// 2.5 units into the preview box; type 1 lower, under its spaced text.
constexpr std::array<LabelKind, 3> kKinds{{
    {LabelType::WithCheck,
     "with check character",
     CompleteBarCode,
     kWideType0 / 3.0f,
     kWideType0,
     13.0f,
     TextBand::ValueBelow,
     Printed<PrintBarCode>,
     Previewed<PreviewBarCode>,
     {7.0f, 2.0f},
     {2.5f, 2.0f},
     {}},
    {LabelType::WithoutCheck,
     "without check character",
     CompleteBarCodeCompaq,
     kWideType1 / 3.0f,
     kWideType1,
     7.1f,
     TextBand::SpacedAbove,
     Printed<PrintBarCodeCompaq>,
     Previewed<PreviewBarCodeCompaq>,
     {6.0f, 6.3f},
     {2.5f, 6.0f},
     kType1Strips},
    // The LTO label draws itself in its whole cell, boxes above the bars.
    {LabelType::Lto,
     "LTO Ultrium",
     LtoValueSymbolText,
     kLtoNarrow,
     kLtoWide,
     kLtoBarHeight,
     TextBand::BoxesAbove,
     LtoLabel,
     LtoLabel,
     {0.0f, 0.0f},
     {0.0f, 0.0f},
     {}},
}};

constexpr bool EachRowAtItsTypesIndex() {
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        if (static_cast<std::size_t>(IndexOf(kKinds[i].type)) != i) return false;
    }
    return true;
}
static_assert(EachRowAtItsTypesIndex());

}  // namespace

const LabelKind& LabelKindOf(LabelType type) {
    return kKinds.at(static_cast<std::size_t>(IndexOf(type)));
}

BarWidths PrintedBarWidths(const LabelKind& kind, const DotGrid& dots) {
    return OnDots({kind.narrow, kind.wide, kind.barHeight}, dots);
}

float PrintedBarsWidth(const LabelKind& kind, const std::u32string& value, const DotGrid& dots) {
    const Alphabet& alphabet = InitAlphabet();
    std::size_t characters = 0;
    for (const char32_t c : kind.symbolText(value)) {
        characters += alphabet.PositionOf(c) >= 0 ? 1 : 0;
    }
    if (characters == 0) return 0.0f;
    const BarWidths widths = PrintedBarWidths(kind, dots);
    const float characterWidth = 3.0f * widths.wide + 7.0f * widths.narrow;
    return static_cast<float>(characters) * characterWidth - widths.narrow;
}

}  // namespace linomark
