// Sending one sheet to the system's default CUPS printer, or saving the page
// it would send as a PDF file. No dialog; the page is made in the printer's
// own paper, with millimetres counted from the corner of its printable area
// moved by the user's alignment offset for that printer, and the job asks
// CUPS and the printer to place it 1:1.
#pragma once

#include <QString>
#include <functional>

#include "sheet/print_service.h"
#include "sheet/sheet.h"

namespace linomark {

struct PrintResult {
    bool printed = false;
    // Why the sheet was not printed or saved, in plain words; empty on success.
    QString reason;
};

// What goes on the page: the labels of the three lists, or the alignment
// sheet of the label type.
struct SheetRequest {
    LabelType labelType = LabelType::WithCheck;
    ColumnLists columnLists;
    bool alignmentSheet = false;
};

// The alignment offset the user keeps for a printer queue.
using OffsetOfQueue = std::function<AlignmentOffset(const QString& queue)>;

// Nothing half-made ever goes out: the page is complete before any byte of
// it reaches the scheduler, a job that cannot be completed is cancelled, and
// every failure comes back as the reason. Waits at most about ten seconds on
// the scheduler. Safe to run off the window's thread.
PrintResult PrintOnDefaultPrinter(const SheetRequest& request, const OffsetOfQueue& offsetOf);

// Writes exactly the page PrintOnDefaultPrinter would send: in the default
// printer's paper, or the system's when there is no printer to ask. The file
// appears whole under its name, or not at all.
PrintResult SaveSheetAsPdf(const SheetRequest& request, const OffsetOfQueue& offsetOf,
                           const QString& fileName);

// The default printer's queue name; empty when there is none, or the
// scheduler does not answer within two seconds.
QString DefaultPrinterName();

}  // namespace linomark
