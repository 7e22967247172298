// The jobs the print service takes, made from what the window, the LTO
// dialog and the command line ask for alike: each names its pages, its
// paper and its title, and the job asks CUPS and the printer to place the
// page 1:1.
#pragma once

#include <QString>

#include "print/print_service.h"
#include "sheet/lto_run.h"
#include "sheet/sheet_pages.h"

namespace linomark {

// The window's sheet (or its alignment sheet) on the printer's own paper.
PrintRequest SheetPrintRequest(const SheetRequest& sheet, const PrintTarget& target,
                               const OffsetsByQueue& offsets);

// A checked LTO run on its stock's paper.
PrintRequest LtoPrintRequest(const LtoPlan& plan, const PrintTarget& target,
                             const OffsetsByQueue& offsets, const QString& title);

}  // namespace linomark
