#include "sheet/sheet.h"

#include <QString>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/label.h"
#include "linomark_config.h"
#include "symbology/code39.h"

namespace linomark {

namespace {

constexpr float kLeftMargin = 15.0f;
constexpr float kTopMargin = 15.0f;
constexpr float kRowPitch = 20.9f;
constexpr float kColumnPitchType0 = 57.15f;
constexpr float kColumnPitchType1 = 56.0f;

// Where a label stands in its cell: type 0 at (7.0, 2.0), type 1 at (6.0, 6.3).
struct OriginOffset {
    float x;
    float y;
};
constexpr OriginOffset kOffsetType0{7.0f, 2.0f};
constexpr OriginOffset kOffsetType1{6.0f, 6.3f};

// The three black strips of a type 1 row, from the row's top edge: the first
// ends where the bars start (6.3), the second starts where they end (6.3 + 7.1).
struct Strip {
    float top;
    float bottom;
};
constexpr Strip kRowStrips[] = {{5.8f, 6.3f}, {13.4f, 13.9f}, {18.5f, 19.0f}};
static_assert(std::size(kRowStrips) == 3);

// The footer stands 5 mm below the bottom grid line, in 6-point text: two
// lines of 6 * 1.149 points (2.43 mm) each end within 5 mm.
constexpr float kFooterGap = 5.0f;
constexpr float kFooterFontSize = 6.0f;
constexpr float kFooterHeight = 5.0f;

constexpr std::u32string_view kLineBreak = U"\r\n";

float RightEdge(LabelType labelType) { return kLeftMargin + kColumnCount * ColumnPitch(labelType); }

float BottomEdge() { return kTopMargin + kRowCount * kRowPitch; }

float RowTop(int row) { return kTopMargin + static_cast<float>(row) * kRowPitch; }

// The first maxLines pieces of the text cut at every "\r\n"; an empty text
// has no lines, a text ending in "\r\n" has an empty last line.
std::vector<std::u32string> CutLines(const std::u32string& text, std::size_t maxLines) {
    std::vector<std::u32string> lines;
    if (text.empty()) {
        return lines;
    }
    std::size_t start = 0;
    while (lines.size() < maxLines) {
        const std::size_t end = text.find(kLineBreak, start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::u32string::npos) {
            break;
        }
        start = end + kLineBreak.size();
    }
    return lines;
}

void DrawRowStrips(DrawingSurface& page, LabelType labelType, int row) {
    for (const Strip& strip : kRowStrips) {
        page.FillBox(kLeftMargin, RowTop(row) + strip.top, RightEdge(labelType),
                     RowTop(row) + strip.bottom);
    }
}

void PrintLabel(DrawingSurface& page, LabelType labelType, int row, int column,
                const std::u32string& value) {
    const LabelPoint origin = LabelOrigin(labelType, row, column);
    if (labelType == LabelType::WithoutCheck) {
        PrintBarCodeCompaq(page, origin.x, origin.y, CompleteBarCodeCompaq(value));
    } else {
        PrintBarCode(page, origin.x, origin.y, CompleteBarCode(value));
    }
}

void PrintColumn(DrawingSurface& page, LabelType labelType, int column,
                 const std::u32string& list) {
    const std::vector<std::u32string> lines = CutLines(list, kRowCount);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (!lines[row].empty()) {
            PrintLabel(page, labelType, static_cast<int>(row), column, lines[row]);
        }
    }
}

std::u32string FromUtf8(const char* text) { return QString::fromUtf8(text).toStdU32String(); }

}  // namespace

float ColumnPitch(LabelType labelType) {
    return labelType == LabelType::WithoutCheck ? kColumnPitchType1 : kColumnPitchType0;
}

// Computed in double and handed on in single precision:
// LabelOrigin(0, 9, 2) = (15 + 2 * 57.15 + 7, 15 + 9 * 20.9 + 2) = (136.3, 205.1).
LabelPoint LabelOrigin(LabelType labelType, int row, int column) {
    const OriginOffset offset = labelType == LabelType::WithoutCheck ? kOffsetType1 : kOffsetType0;
    const double x = double{kLeftMargin} + column * double{ColumnPitch(labelType)} + offset.x;
    const double y = double{kTopMargin} + row * double{kRowPitch} + offset.y;
    return {static_cast<float>(x), static_cast<float>(y)};
}

SheetExtent SheetExtentOf(LabelType labelType) {
    return {RightEdge(labelType), BottomEdge() + kFooterGap + kFooterHeight, kLeftMargin,
            kTopMargin};
}

void SetUpSheetPage(DrawingSurface& page) {
    page.SetUnitToMillimetres();
    page.SetBold(false);
    page.SetUnderline(false);
}

// Eleven dash-dot row lines from top to bottom, each type 1 row's strips
// right after the line above it, then four dash-dot column lines.
void DrawSheetGrid(DrawingSurface& page, LabelType labelType) {
    const float right = RightEdge(labelType);
    for (int row = 0; row <= kRowCount; ++row) {
        page.SetPenStyle(PenStyle::DashDot);
        page.DrawLine(kLeftMargin, RowTop(row), right, RowTop(row));
        if (labelType == LabelType::WithoutCheck) {
            page.SetPenStyle(PenStyle::Solid);
            if (row < kRowCount) {
                DrawRowStrips(page, labelType, row);
            }
        }
    }
    page.SetPenStyle(PenStyle::DashDot);
    for (int column = 0; column <= kColumnCount; ++column) {
        const float x = kLeftMargin + static_cast<float>(column) * ColumnPitch(labelType);
        page.DrawLine(x, kTopMargin, x, BottomEdge());
    }
    page.SetPenStyle(PenStyle::Solid);
}

void PrintFooter(DrawingSurface& page, const std::u32string& first, const std::u32string& second,
                 bool underlineSecond) {
    page.SetCurrentX(kLeftMargin);
    page.SetCurrentY(BottomEdge() + kFooterGap);
    page.SetFontSize(kFooterFontSize);
    page.PrintText(first);
    page.SetUnderline(underlineSecond);
    page.SetCurrentX(kLeftMargin);
    page.PrintText(second);
    page.SetUnderline(false);
}

// The footer is the program's title, then the maker's address underlined,
// in the face and weight the last label left.
void PrintSheet(DrawingSurface& page, LabelType labelType, const ColumnLists& columnLists) {
    SetUpSheetPage(page);
    DrawSheetGrid(page, labelType);
    for (int column = 0; column < kColumnCount; ++column) {
        PrintColumn(page, labelType, column, columnLists[static_cast<std::size_t>(column)]);
    }
    PrintFooter(page, FromUtf8(kProgramTitle), FromUtf8(kMakerAddress), true);
    page.EndDocument();
}

}  // namespace linomark
