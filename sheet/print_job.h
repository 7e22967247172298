// The window's sheet as a print request: the page is made in the printer's
// own paper, with millimetres counted from the corner of its printable area
// moved by the user's alignment offset for that printer, and the job asks
// CUPS and the printer to place it 1:1.
#pragma once

#include <QString>

#include "sheet/print_service.h"
#include "sheet/sheet.h"

namespace linomark {

// What goes on the page: the labels of the three lists, or the alignment
// sheet of the label type.
struct SheetRequest {
    LabelType labelType = LabelType::WithCheck;
    ColumnLists columnLists;
    bool alignmentSheet = false;
};

// Nothing half-made ever goes out: the page is complete before any byte of
// it reaches the scheduler, and a sheet that would not land whole inside the
// printable area is not made at all.
PrintRequest SheetPrintRequest(const SheetRequest& sheet, const PrintTarget& target,
                               const OffsetsByQueue& offsets);

// Whether the sheet, moved by the placement's offset, lands inside the
// printable area of its paper; the failure names the edge and the distance.
Outcome<Done> CheckSheetLanding(const PagePlacement& placement, LabelType labelType);

}  // namespace linomark
