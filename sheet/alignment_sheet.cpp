#include "sheet/alignment_sheet.h"

#include <cmath>
#include <string>

#include "drawing/label_kinds.h"
#include "linomark_config.h"
#include "sheet/sheet_layouts.h"

namespace linomark {
namespace {

// Each arm of a cross reaches 3 mm from the point where the bars begin.
constexpr float kCrossArm = 3.0f;
constexpr float kClearing = 1.0f;
// Ruler ticks: 1 mm every millimetre, 2 mm every five, 3.5 mm every ten,
// with the count of millimetres in 5-point figures beside the long ones
// (5 points are 1.8 mm high).
constexpr float kTickShort = 1.0f;
constexpr float kTickMiddle = 2.0f;
constexpr float kTickLong = 3.5f;
constexpr float kFigureSize = 5.0f;
constexpr float kFigureHeight = 2.0f;
constexpr float kFigureGap = 0.3f;
constexpr char kFontFace[] = "Arial";

// The printable area, in millimetres from the paper's top-left corner.
struct Area {
    float left;
    float top;
    float right;
    float bottom;
};

Area PrintableArea(const Paper& paper) {
    const Margins& m = paper.margins;
    return {m.left, m.top, paper.width - m.right, paper.height - m.bottom};
}

float TickLength(int millimetre) {
    if (millimetre % 10 == 0) return kTickLong;
    return millimetre % 5 == 0 ? kTickMiddle : kTickShort;
}

std::u32string Figure(int millimetre) {
    const std::string digits = std::to_string(millimetre);
    return {digits.begin(), digits.end()};
}

// Where a cross meets a row strip (on a type 1 sheet the bars begin on the
// first strip's lower edge), the strip is cleared to 1 mm past the arms'
// ends, so that the whole cross stands in white.
void ClearStripsAround(DrawingSurface& page, const WindowPage& sheet, int row, LabelPoint cross) {
    const SheetLayout& layout = sheet.layout;
    const float rowTop = layout.top + static_cast<float>(row) * layout.pitchY;
    page.SetColour(kWhite);
    for (const RowStrip& strip : sheet.kind.rowStrips) {
        const float top = rowTop + strip.top;
        const float bottom = rowTop + strip.bottom;
        if (bottom < cross.y - kCrossArm || top > cross.y + kCrossArm) continue;
        page.FillBox(cross.x - kCrossArm - kClearing, top, cross.x + kCrossArm + kClearing, bottom);
    }
    page.SetColour(kBlack);
}

void DrawCrosses(DrawingSurface& page, const WindowPage& sheet) {
    for (int column = 0; column < kColumnCount; ++column) {
        for (int row = 0; row < kRowCount; ++row) {
            const LabelPoint o = LabelOrigin(sheet, row, column);
            ClearStripsAround(page, sheet, row, o);
            page.DrawLine(o.x - kCrossArm, o.y, o.x + kCrossArm, o.y);
            page.DrawLine(o.x, o.y - kCrossArm, o.x, o.y + kCrossArm);
        }
    }
}

// Ticks at whole millimetres of the paper, inside the printable area; the
// top ruler's figures stand right of their tick, the left ruler's below
// theirs, and only where they fit.
void DrawTopRuler(DrawingSurface& page, const Area& area, LabelPoint origin) {
    const float y = area.top - origin.y;
    for (int mm = static_cast<int>(std::ceil(area.left)); mm <= area.right; ++mm) {
        const float x = static_cast<float>(mm) - origin.x;
        page.DrawLine(x, y, x, y + TickLength(mm));
        if (mm % 10 != 0 || mm + kFigureGap + page.TextWidth(Figure(mm)) > area.right) continue;
        page.SetCurrentX(x + kFigureGap);
        page.SetCurrentY(y + kTickMiddle);
        page.PrintText(Figure(mm));
    }
}

void DrawLeftRuler(DrawingSurface& page, const Area& area, LabelPoint origin) {
    const float x = area.left - origin.x;
    for (int mm = static_cast<int>(std::ceil(area.top)); mm <= area.bottom; ++mm) {
        const float y = static_cast<float>(mm) - origin.y;
        page.DrawLine(x, y, x + TickLength(mm), y);
        if (mm % 10 != 0 || mm + kFigureGap + kFigureHeight > area.bottom) continue;
        page.SetCurrentX(x + kTickMiddle + kFigureGap);
        page.SetCurrentY(y + kFigureGap);
        page.PrintText(Figure(mm));
    }
}

}  // namespace

void PrintAlignmentSheet(DrawingSurface& page, const WindowPage& sheet, const std::u32string& note,
                         const Paper& paper, LabelPoint originOnPaper) {
    SetUpSheetPage(page);
    page.SetFontFace(kFontFace);
    DrawSheetGrid(page, sheet);
    DrawCrosses(page, sheet);
    const Area area = PrintableArea(paper);
    page.SetFontSize(kFigureSize);
    DrawTopRuler(page, area, originOnPaper);
    DrawLeftRuler(page, area, originOnPaper);
    const std::string title = std::string(kProgramTitle) + " alignment sheet";
    PrintFooter(page, sheet, std::u32string(title.begin(), title.end()), note, false);
    page.EndDocument();
}

}  // namespace linomark
