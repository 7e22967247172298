// The window's label sheet: 10 rows by 3 columns of cells in millimetres, as
// its row of the sheet table (sheet_layouts.h) lays them out for the label
// type; its dash-dot grid, the row strips of a type 1 sheet, and the print
// run that fills the cells from the three column lists.
#pragma once

#include <array>
#include <string>

#include "drawing/label_kinds.h"
#include "drawing/surface.h"
#include "symbology/label_type.h"
#include "symbology/outcome.h"

namespace linomark {

inline constexpr int kRowCount = 10;
inline constexpr int kColumnCount = 3;

struct SheetLayout;

// A window sheet resolved once for a page: its layout, its label kind and
// the dots of the printer it is made for. A label type alone is its sheet
// without a dot grid, as every page was made before printers were asked.
struct WindowPage {
    WindowPage(LabelType labelType, const DotGrid& dots = {});  // NOLINT: a type is its sheet
    const SheetLayout& layout;
    const LabelKind& kind;
    DotGrid dots;
};

// How far the sheet reaches from its origin: to the right grid line, and down
// to the end of the footer; its ink begins at the top left grid corner.
struct SheetExtent {
    float width;
    float height;
    float left = 0.0f;
    float top = 0.0f;
};
SheetExtent SheetExtentOf(const WindowPage& sheet);

struct LabelPoint {
    float x;
    float y;
};
// Where the label of a cell is drawn from (its type's drawing point), on
// the nearest dot of a known grid.
LabelPoint LabelOrigin(const WindowPage& sheet, int row, int column);

// Unit millimetres, bold off, underline off.
void SetUpSheetPage(DrawingSurface& page);
// The grid and, for type 1, the row strips; the pen is solid afterwards.
void DrawSheetGrid(DrawingSurface& page, const WindowPage& sheet);

using ColumnLists = std::array<std::u32string, kColumnCount>;

// Whether every label of the lists ends in time: its bars, and a quiet zone
// of ten narrow elements after them, before the next column's label begins,
// or in the last column before printableRight (millimetres from the sheet's
// origin to the right edge of the printable area). The failure names the
// column, the line and the value.
Outcome<Done> CheckLabelsFit(const WindowPage& sheet, const ColumnLists& columnLists,
                             float printableRight);

// The two footer lines under the sheet, 5 mm below the bottom grid line in
// 6-point text; the second one underlined when asked. Face and weight stay as
// the page has them.
void PrintFooter(DrawingSurface& page, const WindowPage& sheet, const std::u32string& first,
                 const std::u32string& second, bool underlineSecond);

// The whole print run on a page surface: set-up, grid, one label for every
// non-empty line among the first ten of each list (lines cut at "\r\n"),
// the two-line footer, end of document.
void PrintSheet(DrawingSurface& page, const WindowPage& sheet, const ColumnLists& columnLists);

}  // namespace linomark
