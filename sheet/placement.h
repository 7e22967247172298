// Where a page lands on the printer's paper: the paper with its margins, the
// queue whose alignment offset applies, and that offset; and the page maker
// that draws a whole document for such a placement.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>

#include "sheet/paper.h"
#include "symbology/outcome.h"

namespace linomark {

// Millimetres to move the whole sheet by: positive is right and down.
struct AlignmentOffset {
    float x = 0.0f;
    float y = 0.0f;
};

// Every queue's offset, read from the settings on the caller's thread.
using OffsetsByQueue = std::map<QString, AlignmentOffset>;

// What the pages are made on: the paper, the queue whose offset and margins
// apply (empty when there is no printer to ask), that offset, and the
// printer's resolution (0 when none is known: the widths stay nominal).
struct PagePlacement {
    Paper paper;
    QString queue;
    AlignmentOffset offset;
    int dotsPerInch = 0;
};

// Makes the whole document for a placement: the window's sheet, its
// alignment sheet, an LTO run or its outlines.
using MakePages = std::function<Outcome<QByteArray>(const PagePlacement& placement)>;

}  // namespace linomark
