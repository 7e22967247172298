#include "sheet/alignment_sheet.h"

#include <string>

#include "linomark_config.h"
#include "sheet/sheet.h"

namespace linomark {
namespace {

// Each arm of a crosshair reaches 3 mm from the label origin.
constexpr float kCrossArm = 3.0f;
// Ruler ticks: 1 mm every millimetre, 2 mm every five, 3.5 mm every ten,
// with the count of millimetres in 5-point figures beside the long ones.
constexpr float kTickShort = 1.0f;
constexpr float kTickMiddle = 2.0f;
constexpr float kTickLong = 3.5f;
constexpr float kFigureSize = 5.0f;
constexpr char kFontFace[] = "Arial";

float TickLength(int millimetre) {
    if (millimetre % 10 == 0) return kTickLong;
    return millimetre % 5 == 0 ? kTickMiddle : kTickShort;
}

std::u32string Figure(int millimetre) {
    const std::string digits = std::to_string(millimetre);
    return {digits.begin(), digits.end()};
}

void DrawCrosshairs(DrawingSurface& page, LabelType labelType) {
    for (int column = 0; column < kColumnCount; ++column) {
        for (int row = 0; row < kRowCount; ++row) {
            const LabelPoint o = LabelOrigin(labelType, row, column);
            page.DrawLine(o.x - kCrossArm, o.y, o.x + kCrossArm, o.y);
            page.DrawLine(o.x, o.y - kCrossArm, o.x, o.y + kCrossArm);
        }
    }
}

// The top ruler's figures stand right of their tick, the left ruler's
// below theirs, clear of the ticks between.
void DrawRulers(DrawingSurface& page, const SheetExtent& extent) {
    page.SetFontSize(kFigureSize);
    for (int mm = 1; mm <= static_cast<int>(extent.width); ++mm) {
        page.DrawLine(static_cast<float>(mm), 0.0f, static_cast<float>(mm), TickLength(mm));
        if (mm % 10 != 0) continue;
        page.SetCurrentX(static_cast<float>(mm) + 0.3f);
        page.SetCurrentY(kTickMiddle);
        page.PrintText(Figure(mm));
    }
    for (int mm = 1; mm <= static_cast<int>(extent.height); ++mm) {
        page.DrawLine(0.0f, static_cast<float>(mm), TickLength(mm), static_cast<float>(mm));
        if (mm % 10 != 0) continue;
        page.SetCurrentX(kTickMiddle + 0.3f);
        page.SetCurrentY(static_cast<float>(mm) + 0.3f);
        page.PrintText(Figure(mm));
    }
}

}  // namespace

void PrintAlignmentSheet(DrawingSurface& page, LabelType labelType, const std::u32string& note) {
    SetUpSheetPage(page);
    page.SetFontFace(kFontFace);
    DrawSheetGrid(page, labelType);
    DrawCrosshairs(page, labelType);
    DrawRulers(page, SheetExtentOf(labelType));
    const std::string title = std::string(kProgramTitle) + " alignment sheet";
    PrintFooter(page, labelType, std::u32string(title.begin(), title.end()), note, false);
    page.EndDocument();
}

}  // namespace linomark
