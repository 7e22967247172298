// The sheet grid and the print run, read back from the recording surface.
// Golden positions are the sheet layout's: margins 15.0, row pitch 20.9,
// column pitch 57.15 (type 0) or 56.0 (type 1).
#include "sheet/sheet.h"

#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <string>
#include <vector>

#include "linomark_config.h"
#include "recorded_ops.h"

namespace linomark {
namespace {

constexpr float kTolerance = 1e-3f;

TEST(SheetGrid, LinesStripsAndPen) {
    struct Case {
        int labelType;
        float rightEdge;
        std::size_t strips;
    } const cases[] = {{0, 186.45f, 0}, {1, 183.0f, 30}};
    for (const Case& c : cases) {
        RecordingSurface page;
        DrawSheetGrid(page, LabelTypeFromIndex(c.labelType));
        const auto lines = OpsOfKind(page, OpKind::DrawLine);
        ASSERT_EQ(lines.size(), 15u) << "type " << c.labelType;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].pen, PenStyle::DashDot) << "type " << c.labelType << " line " << i;
            const bool horizontal = i < 11;
            EXPECT_NEAR(horizontal ? lines[i].x2 : lines[i].y2, horizontal ? c.rightEdge : 224.0f,
                        kTolerance);
        }
        EXPECT_NEAR(lines[10].y1, 224.0f, kTolerance) << "bottom line";
        const auto strips = OpsOfKind(page, OpKind::FillBox);
        EXPECT_EQ(strips.size(), c.strips);
        for (const RecordedOp& strip : strips) {
            EXPECT_LT(strip.y2, 224.0f) << "no strip below the bottom line";
            EXPECT_EQ(strip.x1, 15.0f);
            EXPECT_NEAR(strip.x2, c.rightEdge, kTolerance);
        }
        EXPECT_EQ(page.Ops().back().pen, PenStyle::Solid) << "type " << c.labelType;
    }
}

TEST(SheetGrid, LabelOrigins) {
    struct Case {
        int labelType, row, column;
        float x, y;
    } const cases[] = {
        {0, 0, 0, 22.0f, 17.0f}, {0, 9, 2, 136.3f, 205.1f}, {0, 0, 1, 79.15f, 17.0f},
        {1, 0, 0, 21.0f, 21.3f}, {1, 9, 2, 133.0f, 209.4f}, {1, 4, 1, 77.0f, 104.9f},
    };
    for (const Case& c : cases) {
        const LabelPoint origin = LabelOrigin(LabelTypeFromIndex(c.labelType), c.row, c.column);
        EXPECT_FLOAT_EQ(origin.x, c.x) << c.labelType << "," << c.row << "," << c.column;
        EXPECT_FLOAT_EQ(origin.y, c.y) << c.labelType << "," << c.row << "," << c.column;
    }
}

struct PrintedLabel {
    int row;
    int column;
    std::u32string text;
    bool operator==(const PrintedLabel&) const = default;
};

// Every label starts with a box at its origin, right after a non-box
// operation; its text is the next text printed. Cells are found from the
// golden origins: x = 22.0 / 21.0 + pitch * column, y = 17.0 / 21.3 + 20.9 * row.
std::vector<PrintedLabel> LabelsOf(const RecordingSurface& page, int labelType) {
    const float x0 = labelType == 1 ? 21.0f : 22.0f;
    const float y0 = labelType == 1 ? 21.3f : 17.0f;
    const float pitch = labelType == 1 ? 56.0f : 57.15f;
    const auto& ops = page.Ops();
    std::size_t afterGrid = 0;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        afterGrid = ops[i].kind == OpKind::DrawLine ? i + 1 : afterGrid;
    }
    std::vector<PrintedLabel> labels;
    for (std::size_t i = afterGrid; i < ops.size(); ++i) {
        if (ops[i].kind != OpKind::FillBox || ops[i - 1].kind == OpKind::FillBox) {
            continue;
        }
        const float column = (ops[i].x1 - x0) / pitch;
        const float row = (ops[i].y1 - y0) / 20.9f;
        EXPECT_NEAR(column, std::round(column), 1e-4f) << "origin off the column grid";
        EXPECT_NEAR(row, std::round(row), 1e-4f) << "origin off the row grid";
        std::size_t t = i;
        while (ops[t].kind != OpKind::PrintText) ++t;
        labels.push_back({static_cast<int>(std::lround(row)), static_cast<int>(std::lround(column)),
                          ops[t].text});
    }
    return labels;
}

std::u32string Series(char32_t letter) {
    std::u32string list;
    for (char32_t digit = U'0'; digit <= U'9'; ++digit)
        list += {letter, U'0', U'0', U'0', digit, U'\r', U'\n'};
    return list;
}

std::vector<PrintedLabel> FullColumn(int column, char32_t letter) {
    std::vector<PrintedLabel> labels;
    for (int row = 0; row < 10; ++row) {
        labels.push_back(
            {row, column, {letter, U'0', U'0', U'0', static_cast<char32_t>(U'0' + row)}});
    }
    return labels;
}

std::vector<PrintedLabel> Concat(std::vector<std::vector<PrintedLabel>> parts) {
    std::vector<PrintedLabel> all;
    for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(PrintRun, LinesBecomeLabelsInTheirCells) {
    struct Case {
        const char* name;
        int labelType;
        ColumnLists lists;
        std::vector<PrintedLabel> labels;
    } const cases[] = {
        {"eleven lines, the last empty: all thirty cells",
         0,
         {Series(U'A'), Series(U'B'), Series(U'C')},
         Concat({FullColumn(0, U'A'), FullColumn(1, U'B'), FullColumn(2, U'C')})},
        {"four lines fill rows 0 to 3",
         0,
         {U"", U"P\r\nQ\r\nR\r\nS", U""},
         {{0, 1, U"P"}, {1, 1, U"Q"}, {2, 1, U"R"}, {3, 1, U"S"}}},
        {"empty middle line keeps later rows",
         0,
         {U"L0\r\n\r\nL2\r\n\r\n\r\nL5", U"", U""},
         {{0, 0, U"L0"}, {2, 0, U"L2"}, {5, 0, U"L5"}}},
        {"fifteen lines print ten",
         0,
         {U"", U"", Series(U'Z') + U"X0\r\nX1\r\nX2\r\nX3\r\nX4"},
         FullColumn(2, U'Z')},
        {"empty lists print no label", 1, {U"", U"", U""}, {}},
        {"a line of spaces is a value", 0, {U"   ", U"", U""}, {{0, 0, U"   "}}},
        {"line feeds alone make one line", 0, {U"A\nB\rC", U"", U""}, {{0, 0, U"A\nB\rC"}}},
        {"type 1 line 9 of the third list",
         1,
         {U"", U"", U"\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nE"},
         {{9, 2, U"E"}}},
    };
    for (const Case& c : cases) {
        RecordingSurface page;
        PrintSheet(page, LabelTypeFromIndex(c.labelType), c.lists);
        EXPECT_EQ(LabelsOf(page, c.labelType), c.labels) << c.name;
        EXPECT_EQ(OpsOfKind(page, OpKind::DrawLine).size(), 15u) << c.name;
        EXPECT_EQ(OpsOfKind(page, OpKind::EndDocument).size(), 1u) << c.name;
        EXPECT_EQ(page.Ops().back().kind, OpKind::EndDocument) << c.name;
    }
}

// The footer keeps the weight the last label left: bold after a type 1 label.
// The page starts bold here, as a previous run may have left it.
TEST(PrintRun, FooterUnderTheSheet) {
    struct Case {
        const char* name;
        int labelType;
        ColumnLists lists;
        bool bold;
    } const cases[] = {
        {"after a type 0 label", 0, {U"A0000", U"", U""}, false},
        {"after a type 1 label", 1, {U"", U"", U"A00000"}, true},
        {"type 1 sheet without labels", 1, {U"", U"", U""}, false},
    };
    for (const Case& c : cases) {
        RecordingSurface page;
        page.SetBold(true);
        PrintSheet(page, LabelTypeFromIndex(c.labelType), c.lists);
        const auto texts = OpsOfKind(page, OpKind::PrintText);
        ASSERT_GE(texts.size(), 2u) << c.name;
        const RecordedOp& title = texts[texts.size() - 2];
        const RecordedOp& address = texts.back();
        EXPECT_EQ(title.text, U"Linomark 1.0") << c.name;
        EXPECT_EQ(address.text, QString::fromUtf8(kMakerAddress).toStdU32String()) << c.name;
        EXPECT_NEAR(title.x1, 15.0f, kTolerance) << c.name;
        EXPECT_NEAR(title.y1, 229.0f, kTolerance) << c.name;
        EXPECT_NEAR(address.x1, 15.0f, kTolerance) << c.name;
        EXPECT_NEAR(address.y1, 229.0f + ModelLineHeight(6.0f), kTolerance) << c.name;
        EXPECT_FALSE(title.font.underline) << c.name;
        EXPECT_TRUE(address.font.underline) << c.name;
        EXPECT_EQ(title.font.size, 6.0f) << c.name;
        EXPECT_EQ(title.font.bold, c.bold) << c.name;
        EXPECT_EQ(address.font.bold, c.bold) << c.name;
    }
}

// Bars end a quiet zone of ten narrow elements before the next column's
// label, or before the printable edge in the last column: type 0 bars of a
// seven-character value end 4.65 mm before the next label (quiet zone 3.30
// mm), of eight characters 0.63 mm after it; type 1 bars of seven characters
// 5.95 mm before it (quiet zone 3.50 mm), of eight 0.35 mm before it. The
// last type 0 column's seven characters end at 136.3 + 52.50 + 3.30 = 192.10.
TEST(PrintRun, LabelsMustEndBeforeTheirNeighbours) {
    struct Case {
        const char* name;
        int labelType;
        ColumnLists lists;
        float printableRight;
        const char* says;  // empty: the labels fit
    } const cases[] = {
        {"seven characters fit", 0, {U"A000000", U"B000000", U"C000000"}, 192.2f, ""},
        {"eight characters overrun the next column",
         0,
         {U"", U"\r\nLTO00000", U""},
         999.0f,
         "\"LTO00000\" on line 2 of column 2"},
        {"type 1, seven characters fit", 1, {U"A000000", U"B000000", U"C000000"}, 999.0f, ""},
        {"type 1, eight characters overrun", 1, {U"LTO00000", U"", U""}, 999.0f, "column 1"},
        {"the last column against the printable edge",
         0,
         {U"", U"", U"C000000"},
         192.0f,
         "printable area"},
        {"a long value is named by 20 characters",
         0,
         {U"ABCDEFGHIJKLMNOPQRSTUVWXYZ", U"", U""},
         999.0f,
         "\"ABCDEFGHIJKLMNOPQRST...\" on line 1 of column 1"},
        {"lines after the tenth are not printed",
         0,
         {Series(U'A') + U"LTO00000", U"", U""},
         999.0f,
         ""},
        {"characters outside the alphabet take no room", 0, {U"A######00", U"", U""}, 999.0f, ""},
    };
    for (const Case& c : cases) {
        const Outcome<Done> fit =
            CheckLabelsFit(LabelTypeFromIndex(c.labelType), c.lists, c.printableRight);
        EXPECT_EQ(fit.Ok(), *c.says == '\0') << c.name;
        if (!fit.Ok()) {
            EXPECT_NE(fit.Reason().find(c.says), std::string::npos)
                << c.name << ": " << fit.Reason();
            EXPECT_NE(fit.Reason().find("\"LTO labels...\""), std::string::npos) << c.name;
        }
    }
}

}  // namespace
}  // namespace linomark
