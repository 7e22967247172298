#include "sheet/sheet.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/label_kinds.h"
#include "linomark_config.h"
#include "sheet/sheet_layouts.h"

namespace linomark {

namespace {

// The footer stands 5 mm below the bottom grid line, in 6-point text: two
// lines of 6 * 1.149 points (2.43 mm) each end within 5 mm.
constexpr float kFooterGap = 5.0f;
constexpr float kFooterFontSize = 6.0f;
constexpr float kFooterHeight = 5.0f;

// A label's bars end at least ten narrow elements before what follows them.
constexpr float kQuietNarrows = 10.0f;
// A value is named in a warning by this many of its characters at most.
constexpr std::size_t kNamedCharacters = 20;

constexpr std::u32string_view kLineBreak = U"\r\n";

float RightEdge(const SheetLayout& layout) {
    return layout.left + static_cast<float>(layout.columns) * layout.pitchX;
}

float BottomEdge(const SheetLayout& layout) {
    return layout.top + static_cast<float>(layout.rows) * layout.pitchY;
}

float RowTop(const SheetLayout& layout, int row) {
    return layout.top + static_cast<float>(row) * layout.pitchY;
}

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

void DrawRowStrips(DrawingSurface& page, const SheetLayout& layout, const LabelKind& kind,
                   int row) {
    for (const RowStrip& strip : kind.rowStrips) {
        page.FillBox(layout.left, RowTop(layout, row) + strip.top, RightEdge(layout),
                     RowTop(layout, row) + strip.bottom);
    }
}

void PrintColumn(DrawingSurface& page, const WindowPage& sheet, int column,
                 const std::u32string& list) {
    const SheetLayout& layout = sheet.layout;
    const LabelStyle style{layout.labelWidth, layout.labelHeight, false, sheet.dots};
    const std::vector<std::u32string> lines = CutLines(list, static_cast<std::size_t>(layout.rows));
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (lines[row].empty()) continue;
        const LabelPoint origin = LabelOrigin(sheet, static_cast<int>(row), column);
        sheet.kind.print(page, sheet.kind, origin.x, origin.y, lines[row], style);
    }
}

std::u32string FromUtf8(const char* text) { return QString::fromUtf8(text).toStdU32String(); }

std::string TooLongReason(int column, std::size_t line, const std::u32string& value, bool last) {
    QString named = QString::fromStdU32String(value.substr(0, kNamedCharacters));
    if (value.size() > kNamedCharacters) named += QStringLiteral("...");
    const QString where = last ? QStringLiteral("past the edge of the printer's printable area")
                               : QStringLiteral("into the labels of column %1").arg(column + 2);
    return QStringLiteral(
               "The value \"%1\" on line %2 of column %3 is too long for its label: its bars "
               "would run %4. Shorten it; eight-character LTO labels are made with \"LTO "
               "labels...\" in the Print button's menu.")
        .arg(named)
        .arg(line + 1)
        .arg(column + 1)
        .arg(where)
        .toStdString();
}

}  // namespace

// Computed in double and handed on in single precision:
// LabelOrigin(0, 9, 2) = (15 + 2 * 57.15 + 7, 15 + 9 * 20.9 + 2) = (136.3, 205.1).
WindowPage::WindowPage(LabelType labelType, const DotGrid& dots)
    : layout(WindowSheet(labelType)), kind(LabelKindOf(labelType)), dots(dots) {}

LabelPoint LabelOrigin(const WindowPage& sheet, int row, int column) {
    const SheetLayout& layout = sheet.layout;
    const LabelOffset offset = sheet.kind.inCell;
    const double x = double{layout.left} + column * double{layout.pitchX} + offset.x;
    const double y = double{layout.top} + row * double{layout.pitchY} + offset.y;
    return {sheet.dots.SnapX(static_cast<float>(x)), sheet.dots.SnapY(static_cast<float>(y))};
}

SheetExtent SheetExtentOf(const WindowPage& sheet) {
    const SheetLayout& layout = sheet.layout;
    return {RightEdge(layout), BottomEdge(layout) + kFooterGap + kFooterHeight, layout.left,
            layout.top};
}

void SetUpSheetPage(DrawingSurface& page) {
    page.SetUnitToMillimetres();
    page.SetBold(false);
    page.SetUnderline(false);
}

// Eleven dash-dot row lines from top to bottom, each row's strips (type 1)
// right after the line above it, then four dash-dot column lines.
void DrawSheetGrid(DrawingSurface& page, const WindowPage& sheet) {
    const SheetLayout& layout = sheet.layout;
    const LabelKind& kind = sheet.kind;
    const float right = RightEdge(layout);
    for (int row = 0; row <= layout.rows; ++row) {
        page.SetPenStyle(PenStyle::DashDot);
        page.DrawLine(layout.left, RowTop(layout, row), right, RowTop(layout, row));
        if (kind.rowStrips.empty()) continue;
        page.SetPenStyle(PenStyle::Solid);
        if (row < layout.rows) DrawRowStrips(page, layout, kind, row);
    }
    page.SetPenStyle(PenStyle::DashDot);
    for (int column = 0; column <= layout.columns; ++column) {
        const float x = layout.left + static_cast<float>(column) * layout.pitchX;
        page.DrawLine(x, layout.top, x, BottomEdge(layout));
    }
    page.SetPenStyle(PenStyle::Solid);
}

// Labels of one column stand a pitch apart: type 0 bars of a seven-character
// value take 10 * 5.2832 - 0.3302 = 52.50 mm and end 57.15 - 52.50 = 4.65 mm
// before the next label begins, more than their 3.30 mm quiet zone; those of
// eight characters (57.78 mm) run into it.
Outcome<Done> CheckLabelsFit(const WindowPage& sheet, const ColumnLists& columnLists,
                             float printableRight) {
    const LabelKind& kind = sheet.kind;
    const SheetLayout& layout = sheet.layout;
    const float narrow = PrintedBarWidths(kind, sheet.dots).narrow;
    for (int column = 0; column < layout.columns; ++column) {
        const bool last = column + 1 == layout.columns;
        const float limit = last ? printableRight : LabelOrigin(sheet, 0, column + 1).x;
        const float start = LabelOrigin(sheet, 0, column).x;
        const auto lines = CutLines(columnLists[static_cast<std::size_t>(column)],
                                    static_cast<std::size_t>(layout.rows));
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const float end =
                start + PrintedBarsWidth(kind, lines[line], sheet.dots) + kQuietNarrows * narrow;
            if (!lines[line].empty() && end > limit) {
                return Fail(TooLongReason(column, line, lines[line], last));
            }
        }
    }
    return Done{};
}

void PrintFooter(DrawingSurface& page, const WindowPage& sheet, const std::u32string& first,
                 const std::u32string& second, bool underlineSecond) {
    const SheetLayout& layout = sheet.layout;
    page.SetCurrentX(layout.left);
    page.SetCurrentY(BottomEdge(layout) + kFooterGap);
    page.SetFontSize(kFooterFontSize);
    page.PrintText(first);
    page.SetUnderline(underlineSecond);
    page.SetCurrentX(layout.left);
    page.PrintText(second);
    page.SetUnderline(false);
}

// The footer is the program's title, then the maker's address underlined,
// in the face and weight the last label left.
void PrintSheet(DrawingSurface& page, const WindowPage& sheet, const ColumnLists& columnLists) {
    SetUpSheetPage(page);
    DrawSheetGrid(page, sheet);
    for (int column = 0; column < kColumnCount; ++column) {
        PrintColumn(page, sheet, column, columnLists[static_cast<std::size_t>(column)]);
    }
    PrintFooter(page, sheet, FromUtf8(kProgramTitle), FromUtf8(kMakerAddress), true);
    page.EndDocument();
}

}  // namespace linomark
