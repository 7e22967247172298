// The printed and preview label procedures, read back from the recording
// surface. Golden values are the worked geometry of the label layouts: a
// character is 3 wide + 7 narrow elements.
#include "drawing/label.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "recorded_ops.h"

namespace linomark {
namespace {

constexpr float kTolerance = 1e-3f;  // one micrometre on paper

using LabelProcedure = void (*)(DrawingSurface&, float, float, const std::u32string&);

struct LabelCase {
    const char* name;
    LabelProcedure draw;
    std::u32string symbolText;
    std::size_t boxes;
    float barHeight;
    float narrow;
    float endOffset;  // end position minus x: one narrow gap beyond the last bar
    std::u32string text;
    float fontSize;
    bool textAboveBars;
};

// 8 characters: 8 * 5.2832 = 42.2656 (type 0), 8 * 5.6 = 44.8 (type 1). A
// character outside the alphabet draws no bars but is printed.
const LabelCase kPrintedCases[] = {
    {"type 0, *A0000A*", PrintBarCode, U"*A0000A*", 40, 13.0f, 0.3302f, 42.2656f, U"A0000", 12.0f,
     false},
    {"type 0 text has no check character", PrintBarCode, U"*A0001B*", 40, 13.0f, 0.3302f, 42.2656f,
     U"A0001", 12.0f, false},
    {"type 0, # has no bars but is printed", PrintBarCode, U"*A#000A*", 35, 13.0f, 0.3302f,
     7 * 5.2832f, U"A#000", 12.0f, false},
    {"type 1, *AB0012*", PrintBarCodeCompaq, U"*AB0012*", 40, 7.1f, 0.35f, 44.8f,
     U"A   B   0   0   1   2", 16.0f, true},
};

void ExpectLabel(const RecordingSurface& page, const LabelCase& c, float x, float y) {
    const auto boxes = OpsOfKind(page, OpKind::FillBox);
    ASSERT_EQ(boxes.size(), c.boxes) << c.name;
    EXPECT_EQ(boxes.front().x1, x) << c.name << ": the opening star starts with a bar at x";
    EXPECT_NEAR(boxes.back().x2 + c.narrow, x + c.endOffset, kTolerance) << c.name;
    for (const RecordedOp& box : boxes) {
        EXPECT_EQ(box.y1, y) << c.name;
        EXPECT_NEAR(box.y2, y + c.barHeight, kTolerance) << c.name;
    }
    const auto texts = OpsOfKind(page, OpKind::PrintText);
    ASSERT_EQ(texts.size(), 1u) << c.name;
    const RecordedOp& text = texts.front();
    EXPECT_EQ(text.text, c.text) << c.name;
    EXPECT_EQ(text.font.face, "Arial") << c.name;
    EXPECT_EQ(text.font.size, c.fontSize) << c.name;
    const float centre = text.x1 + ModelWidth(c.text.size(), c.fontSize) / 2.0f;
    EXPECT_NEAR(centre, x + c.endOffset / 2.0f, kTolerance) << c.name;
    // Type 1 text is lifted by the *width* of an "A" plus 2.5 mm.
    const float top = c.textAboveBars ? y - ModelWidth(1, c.fontSize) - 2.5f : y + 13.0f;
    EXPECT_NEAR(text.y1, top, kTolerance) << c.name;
}

TEST(PrintedLabel, BarsAndTextOfWorkedExamples) {
    for (const LabelCase& c : kPrintedCases) {
        RecordingSurface page;
        c.draw(page, 22.0f, 17.0f, c.symbolText);
        ExpectLabel(page, c, 22.0f, 17.0f);
    }
}

TEST(PrintedLabel, BoldIsLeftAsFoundByType0AndOnByType1) {
    struct Case {
        const char* name;
        LabelProcedure draw;
        bool boldBefore;
        bool boldAfter;
    } const cases[] = {
        {"type 0 on a regular page", PrintBarCode, false, false},
        {"type 0 on a bold page", PrintBarCode, true, true},
        {"type 1 turns bold on", PrintBarCodeCompaq, false, true},
    };
    for (const Case& c : cases) {
        RecordingSurface page;
        page.SetBold(c.boldBefore);
        c.draw(page, 0.0f, 10.0f, U"*A0000A*");
        page.PrintText(U"after");
        for (const RecordedOp& text : OpsOfKind(page, OpKind::PrintText)) {
            EXPECT_EQ(text.font.bold, c.boldAfter) << c.name;
        }
    }
}

TEST(PrintedLabel, ShortOrEmptySymbolTexts) {
    struct Case {
        const char* name;
        LabelProcedure draw;
        std::u32string symbolText;
        std::size_t boxes;
        std::size_t texts;
    } const cases[] = {
        {"type 0 empty draws nothing", PrintBarCode, U"", 0, 0},
        {"type 1 empty draws nothing", PrintBarCodeCompaq, U"", 0, 0},
        {"type 0 star alone has no value text", PrintBarCode, U"*", 5, 0},
        {"type 0 two stars have no value text", PrintBarCode, U"**", 10, 0},
        {"type 1 two stars print an empty text", PrintBarCodeCompaq, U"**", 10, 1},
    };
    for (const Case& c : cases) {
        RecordingSurface page;
        c.draw(page, 0.0f, 10.0f, c.symbolText);
        EXPECT_EQ(OpsOfKind(page, OpKind::FillBox).size(), c.boxes) << c.name;
        EXPECT_EQ(OpsOfKind(page, OpKind::PrintText).size(), c.texts) << c.name;
        if (c.symbolText.empty()) {
            EXPECT_TRUE(page.Ops().empty()) << c.name << ": no font setting changes either";
        }
    }
}

// A symbol that runs past the page's right edge has its bars drawn up to the
// edge and no further, while its text stays centred on the whole symbol. With
// the edge at 100 mm, a symbol of 1000 characters at x = 22 is 1000 * 5.2832
// mm long (type 0), and only its first 15 characters reach the edge.
TEST(PrintedLabel, BarsStopAtTheRightEdgeAndTheTextStaysCentred) {
    const std::u32string symbolText = U"*" + std::u32string(998, U'1') + U"*";
    struct Case {
        const char* name;
        LabelProcedure draw;
        float characterWidth;
    } const cases[] = {
        {"type 0", PrintBarCode, 5.2832f},
        {"type 1", PrintBarCodeCompaq, 5.6f},
    };
    for (const Case& c : cases) {
        RecordingSurface page(100.0f, 300.0f);
        c.draw(page, 22.0f, 17.0f, symbolText);
        const auto boxes = OpsOfKind(page, OpKind::FillBox);
        ASSERT_FALSE(boxes.empty()) << c.name;
        float rightmost = 0.0f;
        for (const RecordedOp& box : boxes) rightmost = std::max(rightmost, box.x2);
        EXPECT_LE(boxes.back().x1, 100.0f) << c.name << ": a bar beyond the edge";
        EXPECT_GT(rightmost, 100.0f - c.characterWidth) << c.name << ": bars missing before it";
        const auto texts = OpsOfKind(page, OpKind::PrintText);
        ASSERT_EQ(texts.size(), 1u) << c.name;
        const float width = ModelWidth(texts[0].text.size(), texts[0].font.size);
        const float end = 22.0f + static_cast<float>(symbolText.size()) * c.characterWidth;
        EXPECT_NEAR(texts[0].x1 + width / 2.0f, (22.0f + end) / 2.0f, 0.01f) << c.name;
    }
}

// The preview box is 53 x 20.373 units; an eight-character symbol is
// 8 * (3 * 1.0 + 7 * 0.42) = 47.52 units: bars from 2.5 to 49.6, end 50.02.
TEST(PreviewLabel, EightCharacterSymbolsSpanTheWorkedGeometry) {
    struct Case {
        const char* name;
        LabelProcedure draw;
        float y;
        std::u32string symbolText;
        std::u32string text;
        float textTop;
        std::size_t boxes;  // bars, plus 3 rules for type 1
    } const cases[] = {
        {"type 0", PreviewBarCode, 2.0f, U"*A0000A*", U"A0000", 15.0f, 40},
        {"type 1", PreviewBarCodeCompaq, 6.0f, U"*AB0012*", U"A   B   0   0   1   2",
         6.0f - ModelWidth(1, 16.0f) - 2.5f, 43},
    };
    for (const Case& c : cases) {
        RecordingSurface box(53.0f, 20.373f);
        c.draw(box, 2.5f, c.y, c.symbolText);
        ASSERT_FALSE(box.Ops().empty()) << c.name;
        EXPECT_EQ(box.Ops().front().kind, OpKind::Clear) << c.name;
        const auto boxes = OpsOfKind(box, OpKind::FillBox);
        ASSERT_EQ(boxes.size(), c.boxes) << c.name;
        EXPECT_EQ(boxes.front().x1, 2.5f) << c.name;
        EXPECT_NEAR(boxes[39].x2, 49.6f, kTolerance) << c.name;
        const auto texts = OpsOfKind(box, OpKind::PrintText);
        ASSERT_EQ(texts.size(), 1u) << c.name;
        EXPECT_EQ(texts[0].text, c.text) << c.name;
        const float width = ModelWidth(c.text.size(), texts[0].font.size);
        EXPECT_NEAR(texts[0].x1 + width / 2.0f, 26.26f, kTolerance) << c.name;
        EXPECT_NEAR(texts[0].y1, c.textTop, kTolerance) << c.name;
    }
}

TEST(PreviewLabel, Type1RulesSpanTheBoxEvenWithoutSymbol) {
    for (const std::u32string& symbolText : {std::u32string(U"*AB0012*"), std::u32string()}) {
        RecordingSurface box(53.0f, 20.373f);
        PreviewBarCodeCompaq(box, 2.5f, 6.0f, symbolText);
        EXPECT_EQ(box.Ops().front().kind, OpKind::Clear);
        const auto boxes = OpsOfKind(box, OpKind::FillBox);
        ASSERT_GE(boxes.size(), 3u);
        const float rules[3][2] = {{5.3f, 6.0f}, {12.4f, 13.1f}, {17.673f, 18.373f}};
        for (int i = 0; i < 3; ++i) {
            const RecordedOp& rule = boxes[boxes.size() - 3 + i];
            EXPECT_EQ(rule.x1, 0.0f);
            EXPECT_EQ(rule.x2, 53.0f);
            EXPECT_NEAR(rule.y1, rules[i][0], kTolerance);
            EXPECT_NEAR(rule.y2, rules[i][1], kTolerance);
        }
        EXPECT_EQ(boxes.size(), symbolText.empty() ? 3u : 43u);
    }
}

TEST(PreviewLabel, Type0EmptySymbolKeepsThePicture) {
    RecordingSurface box(53.0f, 20.373f);
    PreviewBarCode(box, 2.5f, 2.0f, U"");
    EXPECT_TRUE(box.Ops().empty());
}

// A "#" loses its bars and gap in both types; the type 0 preview also drops it
// from the text, the type 1 preview shows it.
TEST(PreviewLabel, CharacterOutsideAlphabet) {
    struct Case {
        const char* name;
        LabelProcedure draw;
        std::u32string symbolText;
        std::u32string text;
        std::size_t boxes;
    } const cases[] = {
        {"type 0", PreviewBarCode, U"*A#0000A*", U"A0000", 40},
        {"type 1", PreviewBarCodeCompaq, U"*A#00001*", U"A   #   0   0   0   0   1", 43},
    };
    for (const Case& c : cases) {
        RecordingSurface box(53.0f, 20.373f);
        c.draw(box, 2.5f, 2.0f, c.symbolText);
        EXPECT_EQ(OpsOfKind(box, OpKind::FillBox).size(), c.boxes) << c.name;
        const auto texts = OpsOfKind(box, OpKind::PrintText);
        ASSERT_EQ(texts.size(), 1u) << c.name;
        EXPECT_EQ(texts[0].text, c.text) << c.name;
    }
}

// The box's bold attribute is only ever set by the type 1 preview.
TEST(PreviewLabel, Type0TextIsBoldOnlyAfterAType1Preview) {
    RecordingSurface box(53.0f, 20.373f);
    PreviewBarCode(box, 2.5f, 2.0f, U"*A0000A*");
    PreviewBarCodeCompaq(box, 2.5f, 6.0f, U"*A0000*");
    PreviewBarCode(box, 2.5f, 2.0f, U"*A0000A*");
    const auto texts = OpsOfKind(box, OpKind::PrintText);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_FALSE(texts[0].font.bold);
    EXPECT_TRUE(texts[2].font.bold);
}

}  // namespace
}  // namespace linomark
