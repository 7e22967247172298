// The LTO label stock and the checks on a layout of the user's own.
#include <array>
#include <cmath>
#include <cstdio>

#include "drawing/lto_label.h"
#include "sheet/paper.h"
#include "sheet/sheet_layouts.h"

namespace linomark {
namespace {

constexpr char kA4[] = "iso_a4_210x297mm";
constexpr char kLetter[] = "na_letter_8.5x11in";
constexpr char kRoll79x17[] = "custom_79x17mm_79x17mm";
// A grid larger than this is a typing slip, not a sheet.
constexpr int kMostCells = 1000;
// Positions are typed to a hundredth of a millimetre.
constexpr float kSlack = 0.005f;

// Positions from the paper's corner. Letter stock: 3 7/16 x 2/3 in labels
// (87.31 x 16.93 mm), 4 in (101.6 mm) apart, from 17/32 in and 1/2 in.
// The roll: die-cut labels fed with their long side across the head of a
// 4-inch label printer, each label a page of its own size.
const std::array<SheetLayout, 4>& StockTable() {
    static const std::array<SheetLayout, 4> stocks{{
        {"a4-2x15", LabelType::Lto, kA4, 79.0f, 17.0f, 2, 15, 26.0f, 21.0f, 79.0f, 17.0f,
         SheetOrigin::PaperCorner, CellOutlines::CutLines,
         "plain paper or a full-sheet label, cut by hand"},
        {"a4-3x17", LabelType::Lto, kA4, 70.0f, 16.9f, 3, 17, 0.0f, 4.85f, 70.0f, 16.9f,
         SheetOrigin::PaperCorner, CellOutlines::None,
         "70 x 16.9 mm sheets sold as Avery Zweckform 3420 and compatibles"},
        {"letter-2x15", LabelType::Lto, kLetter, 87.31f, 16.93f, 2, 15, 13.49f, 12.70f, 101.6f,
         16.93f, SheetOrigin::PaperCorner, CellOutlines::None,
         "3 7/16 x 2/3 in filing labels sold as Avery 5366/8366"},
        {"roll-79x17", LabelType::Lto, kRoll79x17, 79.0f, 17.0f, 1, 1, 0.0f, 0.0f, 79.0f, 17.0f,
         SheetOrigin::PaperCorner, CellOutlines::None,
         "die-cut 79 x 17 mm labels on a roll for a label printer, one label a page"},
    }};
    return stocks;
}

std::string Mm(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g mm", std::round(value * 100.0f) / 100.0f);
    return text;
}

// NaN fails every comparison, so it is refused with the rest.
bool Positive(float value) { return value > 0.0f && std::isfinite(value); }

Outcome<Done> CheckSizes(const SheetLayout& l) {
    // Each side is bounded before the product, which then cannot overflow.
    if (l.columns < 1 || l.rows < 1 || l.columns > kMostCells || l.rows > kMostCells ||
        l.columns * l.rows > kMostCells) {
        return Fail("The grid of " + std::to_string(l.columns) + " x " + std::to_string(l.rows) +
                    " labels is not a sheet: give 1 to " + std::to_string(kMostCells) +
                    " labels in all.");
    }
    if (!Positive(l.labelWidth))
        return Fail("The label width " + Mm(l.labelWidth) + " is not a size.");
    if (!Positive(l.labelHeight))
        return Fail("The label height " + Mm(l.labelHeight) + " is not a size.");
    if (!(l.left >= 0.0f)) return Fail("The left edge " + Mm(l.left) + " lies off the paper.");
    if (!(l.top >= 0.0f)) return Fail("The top edge " + Mm(l.top) + " lies off the paper.");
    return Done{};
}

Outcome<Done> CheckPitches(const SheetLayout& l) {
    if (l.columns > 1 && !(l.pitchX + kSlack >= l.labelWidth)) {
        return Fail("The pitch across, " + Mm(l.pitchX) + ", is less than the label width, " +
                    Mm(l.labelWidth) + ": the labels would overlap.");
    }
    if (l.rows > 1 && !(l.pitchY + kSlack >= l.labelHeight)) {
        return Fail("The pitch down, " + Mm(l.pitchY) + ", is less than the label height, " +
                    Mm(l.labelHeight) + ": the labels would overlap.");
    }
    return Done{};
}

Outcome<Done> CheckOnPaper(const SheetLayout& l, const Paper& paper) {
    const float right = l.left + static_cast<float>(l.columns - 1) * l.pitchX + l.labelWidth;
    if (!(right <= paper.width + kSlack)) {
        return Fail("The last column ends " + Mm(right) + " from the left edge, past the " +
                    Mm(paper.width) + " width of " + PaperDisplayName(paper) +
                    ": the left edge, the pitch across, the label width or the number of columns "
                    "is too large.");
    }
    const float bottom = l.top + static_cast<float>(l.rows - 1) * l.pitchY + l.labelHeight;
    if (!(bottom <= paper.height + kSlack)) {
        return Fail("The last row ends " + Mm(bottom) + " from the top edge, past the " +
                    Mm(paper.height) + " height of " + PaperDisplayName(paper) +
                    ": the top edge, the pitch down, the label height or the number of rows is "
                    "too large.");
    }
    return Done{};
}

Outcome<Done> CheckRoomForSymbol(const SheetLayout& l) {
    if (LtoNarrowFor(l.labelWidth) < kLtoMinimumNarrow) {
        return Fail("The label width " + Mm(l.labelWidth) +
                    " is too narrow for the symbol: it needs " + Mm(LtoMinimumLabelWidth()) +
                    " at least.");
    }
    if (l.labelHeight + kSlack < kLtoMinimumHeight) {
        return Fail("The label height " + Mm(l.labelHeight) +
                    " is too low for the text and the bars: it needs " + Mm(kLtoMinimumHeight) +
                    " at least.");
    }
    return Done{};
}

}  // namespace

std::span<const SheetLayout> LtoStocks() { return StockTable(); }

const SheetLayout* LtoStockById(std::string_view id) {
    for (const SheetLayout& stock : StockTable()) {
        if (stock.id == id) return &stock;
    }
    return nullptr;
}

bool OneLabelAPage(const SheetLayout& layout) {
    const std::optional<Paper> paper = PaperNamed(layout.paper);
    return paper && layout.columns == 1 && layout.rows == 1 &&
           std::fabs(paper->width - layout.labelWidth) < kSlack &&
           std::fabs(paper->height - layout.labelHeight) < kSlack;
}

SheetLayout OneLabelAPageOf(SheetLayout layout) {
    char name[96];
    std::snprintf(name, sizeof name, "custom_%gx%gmm_%gx%gmm", layout.labelWidth,
                  layout.labelHeight, layout.labelWidth, layout.labelHeight);
    layout.paper = name;
    layout.columns = layout.rows = 1;
    layout.left = layout.top = 0.0f;
    layout.pitchX = layout.labelWidth;
    layout.pitchY = layout.labelHeight;
    return layout;
}

Outcome<Done> CheckLayout(const SheetLayout& layout) {
    const std::optional<Paper> paper = PaperNamed(layout.paper);
    if (!paper || (paper->name != kA4 && paper->name != kLetter && !OneLabelAPage(layout))) {
        return Fail("The paper \"" + layout.paper + "\" is not A4, Letter or one label a page.");
    }
    for (const auto check : {CheckSizes, CheckPitches, CheckRoomForSymbol}) {
        if (auto checked = check(layout); !checked) return checked;
    }
    return CheckOnPaper(layout, *paper);
}

}  // namespace linomark
