// The label sheet: 10 rows by 3 columns of cells in millimetres, its
// dash-dot grid, the row strips of a type 1 sheet, and the print run that
// fills the cells from the three column lists.
#pragma once

#include <array>
#include <string>

#include "drawing/surface.h"
#include "symbology/label_type.h"

namespace linomark {

inline constexpr int kRowCount = 10;
inline constexpr int kColumnCount = 3;

float ColumnPitch(LabelType labelType);

// How far the sheet reaches from its origin: to the right grid line, and down
// to the end of the footer; its ink begins at the top left grid corner.
struct SheetExtent {
    float width;
    float height;
    float left = 0.0f;
    float top = 0.0f;
};
SheetExtent SheetExtentOf(LabelType labelType);

struct LabelPoint {
    float x;
    float y;
};
LabelPoint LabelOrigin(LabelType labelType, int row, int column);

// Unit millimetres, bold off, underline off.
void SetUpSheetPage(DrawingSurface& page);
// The grid and, for type 1, the row strips; the pen is solid afterwards.
void DrawSheetGrid(DrawingSurface& page, LabelType labelType);

using ColumnLists = std::array<std::u32string, kColumnCount>;

// The two footer lines under the sheet, 5 mm below the bottom grid line in
// 6-point text; the second one underlined when asked. Face and weight stay as
// the page has them.
void PrintFooter(DrawingSurface& page, const std::u32string& first, const std::u32string& second,
                 bool underlineSecond);

// The whole print run on a page surface: set-up, grid, one label for every
// non-empty line among the first ten of each list (lines cut at "\r\n"),
// the two-line footer, end of document.
void PrintSheet(DrawingSurface& page, LabelType labelType, const ColumnLists& columnLists);

}  // namespace linomark
