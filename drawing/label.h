// One label of the window's two types drawn from its symbol text, in the
// sizes of its type's row (label_kinds.h): on the printer page in millimetres
// (PrintBarCode, PrintBarCodeCompaq) and in the preview box in its own
// 53 x 20.373 scale (PreviewBarCode, PreviewBarCodeCompaq). (x, y) is the
// top-left corner of the first bar.
#pragma once

#include <string>

#include "drawing/bars.h"
#include "drawing/surface.h"

namespace linomark {

// The bars in the widths given (by default the type's nominal ones).
void PrintBarCode(DrawingSurface& page, float x, float y, const std::u32string& symbolText,
                  const BarWidths& widths);
void PrintBarCode(DrawingSurface& page, float x, float y, const std::u32string& symbolText);
void PrintBarCodeCompaq(DrawingSurface& page, float x, float y, const std::u32string& symbolText,
                        const BarWidths& widths);
void PrintBarCodeCompaq(DrawingSurface& page, float x, float y, const std::u32string& symbolText);

void PreviewBarCode(DrawingSurface& box, float x, float y, const std::u32string& symbolText);
void PreviewBarCodeCompaq(DrawingSurface& box, float x, float y, const std::u32string& symbolText);

}  // namespace linomark
