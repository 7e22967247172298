// The alignment sheet: the grid of a label sheet without its labels, a
// crosshair at every label origin and millimetre rulers along the top and
// left edges of the printable area. Laid on a label sheet against the light,
// or printed on one, it shows how far the printer places the sheet off its
// stock.
#pragma once

#include <string>

#include "drawing/surface.h"
#include "symbology/label_type.h"

namespace linomark {

// The note is the footer's second line: which printer, which offset.
void PrintAlignmentSheet(DrawingSurface& page, LabelType labelType, const std::u32string& note);

}  // namespace linomark
