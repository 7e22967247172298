// The alignment sheet: the grid of a label sheet without its labels, a cross
// where each label's bars begin and millimetre rulers along the top and left
// edges of the printable area. Laid on a label sheet against the light, or
// printed on one, it shows how far the printer places the sheet off its
// stock.
#pragma once

#include <string>

#include "drawing/surface.h"
#include "sheet/paper.h"
#include "sheet/sheet.h"
#include "symbology/label_type.h"

namespace linomark {

// The note is the footer's second line: which printer, which offset. The
// page's origin lies at originOnPaper, in millimetres from the paper's
// top-left corner; the rulers count from the paper's edges, whatever the
// printer's margins and the offset, and stay inside the printable area.
void PrintAlignmentSheet(DrawingSurface& page, const WindowPage& sheet, const std::u32string& note,
                         const Paper& paper, LabelPoint originOnPaper);

}  // namespace linomark
