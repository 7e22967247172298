// What the "LTO labels" dialog shows as the user types: the first label at a
// readable size, drawn by the same procedure as on paper, and which cells of
// the first sheet are used, skipped and free.
#pragma once

#include <QImage>
#include <vector>

#include "sheet/sheet_layouts.h"
#include "symbology/lto.h"

namespace linomark {

// The label as printed, on a white ground with a grey edge where the label's
// edge is, in device pixels of the given ratio.
QImage LtoLabelPicture(const LtoLabel& label, const SheetLayout& stock, bool colour,
                       qreal pixelRatio);

enum class CellUse { Skipped, Used, Free };

// The cells of the first sheet in cell order: skipped before the start and
// for a blank line of a list, used for a label, free after the last one.
std::vector<CellUse> FirstSheetCells(const SheetLayout& stock, int startAt,
                                     const std::vector<LtoLabel>& labels);

}  // namespace linomark
