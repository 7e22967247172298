#include "sheet/alignment_sheet.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "linomark_config.h"

namespace linomark {
namespace {

// Each arm of a cross reaches 3 mm from the point where the bars begin.
constexpr float kCrossArm = 3.0f;
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

bool OnStrip(LabelType labelType, int row, float y) {
    for (const RowStrip& strip : RowStripsOf(labelType)) {
        if (y > RowTop(row) + strip.top && y < RowTop(row) + strip.bottom) return true;
    }
    return false;
}

// A vertical arm from y1 down to y2, cut at the strips' edges: white where
// it crosses a row strip, so that it shows there too, black elsewhere.
void DrawVerticalArm(DrawingSurface& page, LabelType labelType, int row, float x, float y1,
                     float y2) {
    std::vector<float> cuts{y1, y2};
    for (const RowStrip& strip : RowStripsOf(labelType)) {
        for (const float edge : {RowTop(row) + strip.top, RowTop(row) + strip.bottom}) {
            if (edge > y1 && edge < y2) cuts.push_back(edge);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t i = 1; i < cuts.size(); ++i) {
        page.SetColour(OnStrip(labelType, row, (cuts[i - 1] + cuts[i]) / 2.0f) ? kWhite : kBlack);
        page.DrawLine(x, cuts[i - 1], x, cuts[i]);
    }
    page.SetColour(kBlack);
}

// On a type 1 sheet the bars begin on the lower edge of the row's first
// strip, which then marks the height; the horizontal arm lies along it.
void DrawCrosses(DrawingSurface& page, LabelType labelType) {
    for (int column = 0; column < kColumnCount; ++column) {
        for (int row = 0; row < kRowCount; ++row) {
            const LabelPoint o = LabelOrigin(labelType, row, column);
            page.DrawLine(o.x - kCrossArm, o.y, o.x + kCrossArm, o.y);
            DrawVerticalArm(page, labelType, row, o.x, o.y - kCrossArm, o.y + kCrossArm);
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

void PrintAlignmentSheet(DrawingSurface& page, LabelType labelType, const std::u32string& note,
                         const Paper& paper, LabelPoint originOnPaper) {
    SetUpSheetPage(page);
    page.SetFontFace(kFontFace);
    DrawSheetGrid(page, labelType);
    DrawCrosses(page, labelType);
    const Area area = PrintableArea(paper);
    page.SetFontSize(kFigureSize);
    DrawTopRuler(page, area, originOnPaper);
    DrawLeftRuler(page, area, originOnPaper);
    const std::string title = std::string(kProgramTitle) + " alignment sheet";
    PrintFooter(page, std::u32string(title.begin(), title.end()), note, false);
    page.EndDocument();
}

}  // namespace linomark
