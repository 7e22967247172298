// The pages a command asks for, as the print request the window or the LTO
// dialog would make from the same inputs, with the labels and sheets they
// hold for the line that reports them.
#pragma once

#include <QString>
#include <atomic>

#include "command_options.h"
#include "print/print_service.h"
#include "sheet/paper.h"
#include "sheet/sheet_layouts.h"

namespace linomark {

struct LabelPages {
    PrintRequest request;
    int labels = 0;
    int sheets = 1;
    QString cells;     // LTO: "a4-3x17, labels 6-45 of sheet 1"
    int untagged = 0;  // LTO: cartridges of the inventory read without a label
};

// What the printer decides for an LTO run when the command does not: the
// stock of its paper, colour as it prints, and its resolution.
struct LtoDefaults {
    Paper paper;
    bool colour = true;
    int dotsPerInch = 0;
};

// Each takes a request that holds the target and the offsets, and fills in
// what is made.
// The window's sheet: each column holds the ten values of its leading value,
// typed as given, or the window's default when none is given.
LabelPages WindowSheetPages(const Command& command, const PrintRequest& base);

// The stock named by --sheet, else the one of the printer's paper.
const SheetLayout& LtoStockOf(const Command& command, const LtoDefaults& defaults);

// An LTO run or list on its stock; fails as the dialog would refuse it, or
// when stopped while the list is read.
Outcome<LabelPages> LtoRunPages(const Command& command, const LtoDefaults& defaults,
                                const PrintRequest& base, const std::atomic<bool>& stop);

// The LTO stock, a line each: id, paper, label size, grid and what it is.
QString StockTable();

}  // namespace linomark
