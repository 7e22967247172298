// Sending one label sheet to the system's default CUPS printer.
#pragma once

#include <QString>

#include "sheet/sheet.h"

namespace linomark {

struct PrintResult {
    bool printed = false;
    // Why the sheet was not printed, in plain words for the user; empty when printed.
    QString reason;
};

// Draws the sheet and hands the page to the default printer, without a dialog.
// Nothing half-drawn ever goes out: any failure abandons the document and is
// returned as the reason.
PrintResult PrintSheetOnDefaultPrinter(LabelType labelType, const ColumnLists& columnLists);

}  // namespace linomark
