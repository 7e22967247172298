#include "sheet/sheet_layouts.h"

#include <array>

#include "sheet/sheet.h"

namespace linomark {

namespace {

// The window's sheet: 3 columns by 10 rows from 15 mm right of and below the
// printable area's corner, rows 20.9 mm apart, columns 57.15 mm apart for
// type 0 and 56.0 mm for type 1, on whatever paper the printer has.
SheetLayout WindowLayout(LabelType type, const char* id, float pitchX) {
    return {id,
            type,
            "",
            pitchX,
            20.9f,
            kColumnCount,
            kRowCount,
            15.0f,
            15.0f,
            pitchX,
            20.9f,
            SheetOrigin::PrintableCorner,
            CellOutlines::DashDotGrid,
            "the window's label sheet, cut along its dash-dot grid"};
}

}  // namespace

// One row per window label type, at the index of its type.
const SheetLayout& WindowSheet(LabelType type) {
    static const std::array<SheetLayout, 2> kWindowSheets{
        WindowLayout(LabelType::WithCheck, "window-type-0", 57.15f),
        WindowLayout(LabelType::WithoutCheck, "window-type-1", 56.0f),
    };
    return kWindowSheets.at(static_cast<std::size_t>(IndexOf(type)));
}

}  // namespace linomark
