// The window's sheet as pages: the labels of the three lists, or the
// alignment sheet, made in the printer's own paper with millimetres counted
// from the corner of its printable area moved by the user's alignment offset.
#pragma once

#include <QByteArray>
#include <QString>

#include "sheet/placement.h"
#include "sheet/sheet.h"

namespace linomark {

// What goes on the page: the labels of the three lists, or the alignment
// sheet of the label type.
struct SheetRequest {
    LabelType labelType = LabelType::WithCheck;
    ColumnLists columnLists;
    bool alignmentSheet = false;
};

// Nothing half-made ever goes out: a sheet that would not land whole inside
// the printable area, or whose values do not fit their labels, is not made.
Outcome<QByteArray> MakeSheetPdf(const SheetRequest& request, const PagePlacement& placement);

// The job's title: the program and what the page is.
QString SheetJobTitle(const SheetRequest& request);

// Whether the sheet, moved by the placement's offset, lands inside the
// printable area of its paper; the failure names the edge and the distance.
Outcome<Done> CheckSheetLanding(const PagePlacement& placement, LabelType labelType);

}  // namespace linomark
