#include "drawing/label.h"

#include <string>

#include "drawing/label_kinds.h"
#include "symbology/code39.h"

namespace linomark {

namespace {

// Printed labels take their sizes from their type's row: type 0 has
// 3 wide + 7 narrow = 5.2832 mm a character, type 1 5.6 mm.
BarWidths PrintedSizes(LabelType type) { return PrintedBarWidths(LabelKindOf(type)); }

// The preview box draws both types with 3 wide + 7 narrow = 5.94 units a
// character and bars as many units tall as the printed ones are millimetres.
BarWidths PreviewSizes(LabelType type) { return {0.42f, 1.0f, LabelKindOf(type).barHeight}; }

constexpr char kFontFace[] = "Arial";
constexpr float kValueFontSize = 12.0f;
constexpr float kSpacedFontSize = 16.0f;
// The spaced text stands this far above the bars, plus the width of an "A".
constexpr float kSpacedTextLift = 2.5f;
constexpr char32_t kLetterA[] = U"A";
constexpr char32_t kCharacterGap[] = U"   ";

// Every alphabet character of a symbol and its gap take 3 wide + 7 narrow.
float CharacterWidth(const BarWidths& sizes) { return 3.0f * sizes.wide + 7.0f * sizes.narrow; }

// A symbol cut where it leaves the surface: the characters whose bars can
// land on it, and the count of alphabet characters after them, which only
// move the pen. A symbol that fits is kept whole, so it is drawn exactly as
// its full element sequence says.
struct SymbolCut {
    std::u32string shown;
    std::size_t hiddenCharacters = 0;
};

SymbolCut CutAtRightEdge(const std::u32string& symbolText, float x, float right,
                         const BarWidths& sizes) {
    const Alphabet& alphabet = InitAlphabet();
    const float characterWidth = CharacterWidth(sizes);
    float start = x;
    std::size_t end = 0;
    for (; end < symbolText.size(); ++end) {
        if (alphabet.PositionOf(symbolText[end]) < 0) continue;
        if (start > right) break;
        start += characterWidth;
    }
    SymbolCut cut{symbolText.substr(0, end), 0};
    for (; end < symbolText.size(); ++end) {
        cut.hiddenCharacters += alphabet.PositionOf(symbolText[end]) >= 0 ? 1 : 0;
    }
    return cut;
}

// The text between the first and the last character, each followed by three
// spaces except the last: *AB0012* gives "A   B   0   0   1   2".
std::u32string SpacedText(const std::u32string& symbolText) {
    std::u32string text;
    for (std::size_t i = 1; i + 1 < symbolText.size(); ++i) {
        text += symbolText[i];
        if (i + 2 < symbolText.size()) {
            text += kCharacterGap;
        }
    }
    return text;
}

// The value as typed: the symbol text less its opening star, check character
// and closing star. A text of fewer than three characters has no value.
bool HasValueText(const std::u32string& symbolText) { return symbolText.size() >= 3; }

std::u32string ValueText(const std::u32string& symbolText) {
    return symbolText.substr(1, symbolText.size() - 3);
}

// The characters of the symbol text that are in the alphabet, in their order.
std::u32string KeptCharacters(const std::u32string& symbolText) {
    const Alphabet& alphabet = InitAlphabet();
    std::u32string kept;
    for (const char32_t c : symbolText) {
        if (alphabet.PositionOf(c) >= 0) {
            kept += c;
        }
    }
    return kept;
}

void PrintCentred(DrawingSurface& surface, float x, float endPosition, const std::u32string& text) {
    const float width = surface.TextWidth(text);
    surface.SetCurrentX((endPosition + x) / 2.0f - width / 2.0f);
    surface.PrintText(text);
}

// The value in Arial 12 with its top on the bars' bottom edge; bold is left as
// the surface has it.
void DrawValueText(DrawingSurface& surface, float x, float barsBottom, float endPosition,
                   const std::u32string& text) {
    surface.SetFontFace(kFontFace);
    surface.SetFontSize(kValueFontSize);
    surface.SetCurrentY(barsBottom);
    PrintCentred(surface, x, endPosition, text);
}

// The spaced text in Arial 16 bold, its top lifted above the bars by the
// *width* of an "A" plus 2.5 units.
void DrawSpacedText(DrawingSurface& surface, float x, float y, float endPosition,
                    const std::u32string& text) {
    surface.SetFontFace(kFontFace);
    surface.SetFontSize(kSpacedFontSize);
    surface.SetBold(true);
    const float widthOfA = surface.TextWidth(kLetterA);
    surface.SetCurrentY(y - widthOfA - kSpacedTextLift);
    PrintCentred(surface, x, endPosition, text);
}

// Three full-width rules of the type 1 preview: above the bars, under the
// bottom 0.7 of the bars, and near the bottom edge of the box.
void DrawPreviewRules(DrawingSurface& box, float y, float barHeight) {
    constexpr float kRuleHeight = 0.7f;
    const float width = box.InnerWidth();
    const float height = box.InnerHeight();
    const float barsBottom = y + barHeight;
    box.FillBox(0.0f, y - kRuleHeight, width, y);
    box.FillBox(0.0f, barsBottom - kRuleHeight, width, barsBottom);
    box.FillBox(0.0f, height - 2.7f, width, height - 2.0f);
}

// Draws the bars of the part of the symbol that reaches the surface's right
// edge, and returns the end position of the whole symbol.
float DrawSymbol(DrawingSurface& surface, float x, float y, const std::u32string& symbolText,
                 const BarWidths& sizes) {
    const SymbolCut cut = CutAtRightEdge(symbolText, x, surface.InnerWidth(), sizes);
    const float end = DrawBars(surface, x, y, BuildElementSequence(cut.shown), sizes);
    if (cut.hiddenCharacters == 0) return end;
    return end + static_cast<float>(cut.hiddenCharacters) * CharacterWidth(sizes);
}

}  // namespace

void PrintBarCode(DrawingSurface& page, float x, float y, const std::u32string& symbolText) {
    PrintBarCode(page, x, y, symbolText, PrintedSizes(LabelType::WithCheck));
}

void PrintBarCode(DrawingSurface& page, float x, float y, const std::u32string& symbolText,
                  const BarWidths& sizes) {
    if (symbolText.empty()) {
        return;
    }
    const float end = DrawSymbol(page, x, y, symbolText, sizes);
    if (HasValueText(symbolText)) {
        DrawValueText(page, x, y + sizes.height, end, ValueText(symbolText));
    }
}

void PrintBarCodeCompaq(DrawingSurface& page, float x, float y, const std::u32string& symbolText) {
    PrintBarCodeCompaq(page, x, y, symbolText, PrintedSizes(LabelType::WithoutCheck));
}

void PrintBarCodeCompaq(DrawingSurface& page, float x, float y, const std::u32string& symbolText,
                        const BarWidths& sizes) {
    if (symbolText.empty()) {
        return;
    }
    const float end = DrawSymbol(page, x, y, symbolText, sizes);
    DrawSpacedText(page, x, y, end, SpacedText(symbolText));
}

void PreviewBarCode(DrawingSurface& box, float x, float y, const std::u32string& symbolText) {
    if (symbolText.empty()) {
        return;
    }
    const std::u32string kept = KeptCharacters(symbolText);
    const BarWidths sizes = PreviewSizes(LabelType::WithCheck);
    box.Clear();
    const float end = DrawSymbol(box, x, y, kept, sizes);
    if (HasValueText(kept)) {
        DrawValueText(box, x, y + sizes.height, end, ValueText(kept));
    }
}

void PreviewBarCodeCompaq(DrawingSurface& box, float x, float y, const std::u32string& symbolText) {
    const BarWidths sizes = PreviewSizes(LabelType::WithoutCheck);
    box.Clear();
    const float end = DrawSymbol(box, x, y, symbolText, sizes);
    DrawSpacedText(box, x, y, end, SpacedText(symbolText));
    DrawPreviewRules(box, y, sizes.height);
}

}  // namespace linomark
