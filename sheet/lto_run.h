// An LTO run on label stock: the labels of a run or a list laid into the
// cells of as many sheets as they need, from a start position on the first
// sheet, and the pages that carry them.
#pragma once

#include <QByteArray>
#include <string>
#include <vector>

#include "sheet/paper.h"
#include "sheet/placement.h"
#include "sheet/sheet_layouts.h"
#include "symbology/lto.h"
#include "symbology/outcome.h"

namespace linomark {

struct LtoJob {
    SheetLayout stock;
    std::vector<LtoLabel> labels;  // in cell order; a blank serial leaves its cell empty
    int startAt = 1;               // 1 = top left of the first sheet
    bool colour = true;
    bool outlinesOnly = false;  // the stock's outlines and a cross at every label corner
    // The printer's resolution when known: the summary says when its whole
    // dots make the bars finer than the libraries' 0.423 mm.
    int dotsPerInch = 0;
};

// A checked job, the only kind that is made into pages, with its paper.
struct LtoPlan {
    int labels = 0;  // labels printed (blank cells not counted)
    int sheets = 0;
    int nextStart = 1;    // the first unused label of the last sheet; 1 when it is used up
    std::string summary;  // "35 labels, ABC100L8 to ABC134L8, on 2 sheets"
    LtoJob job;
    Paper paper;
};

// Fails for a start beyond the sheet, a bad layout, an empty job.
Outcome<LtoPlan> PlanLtoJob(const LtoJob& job);

// Every page of the job as one PDF on the stock's paper, positions counted
// from the paper's corner moved by the placement's offset, bars on the
// placement's dots. Fails, naming the edge and the distance, when any bar or
// character would land in the printer's margins.
Outcome<QByteArray> MakeLtoPdf(const LtoPlan& plan, const PagePlacement& placement);

}  // namespace linomark
