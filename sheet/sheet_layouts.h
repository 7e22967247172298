// The sheets as one table: the window's label sheet for each of its types and
// the LTO label stock people buy. A row holds the paper, the label size, the
// grid, the first label's position and the pitches. Adding a sheet adds a row.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "symbology/label_type.h"
#include "symbology/outcome.h"

namespace linomark {

// Where positions are counted from: the window's sheet from the corner of the
// printer's printable area, label stock from the paper's own corner (it is cut
// to the paper, wherever the printer's margins lie).
enum class SheetOrigin { PrintableCorner, PaperCorner };
// What is drawn around the labels: the window's dash-dot grid, thin grey
// cutting outlines for plain paper, or nothing on die-cut stock.
enum class CellOutlines { DashDotGrid, CutLines, None };

struct SheetLayout {
    std::string id;  // "a4-2x15"; "custom" for the user's own numbers
    LabelType labelType;
    std::string paper;  // PWG name ("iso_a4_210x297mm"); empty: the printer's paper
    float labelWidth;   // millimetres
    float labelHeight;
    int columns;
    int rows;
    float left;  // the first label's top-left corner
    float top;
    float pitchX;  // from one label's left edge to the next one's
    float pitchY;
    SheetOrigin origin;
    CellOutlines outlines;
    std::string stock;  // what the user buys or uses, in words
};

const SheetLayout& WindowSheet(LabelType type);
// The LTO label stock, in the order offered.
std::span<const SheetLayout> LtoStocks();
// Nothing for an unknown id.
const SheetLayout* LtoStockById(std::string_view id);

// A custom layout: its grid on its paper, labels that do not overlap, and a
// label wide enough for the symbol; the failure says which number is wrong.
Outcome<Done> CheckLayout(const SheetLayout& layout);

// A stock whose every label is a page of its own (a label printer's roll):
// one label whose paper is the label itself.
bool OneLabelAPage(const SheetLayout& layout);
// The layout's label alone on a page of its own size (a roll in a label
// printer): one label at the page's corner.
SheetLayout OneLabelAPageOf(SheetLayout layout);

inline int LabelsPerSheet(const SheetLayout& layout) { return layout.columns * layout.rows; }

}  // namespace linomark
