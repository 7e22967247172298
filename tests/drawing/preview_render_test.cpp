// The preview box in pixels: 217 x 77 pixels for 53 x 20.373 units, so a
// horizontal unit is 217 / 53 = 4.094 pixels and a vertical one 77 / 20.373
// = 3.780 pixels.
#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <string>

#include "drawing/label.h"
#include "drawing/preview_picture.h"

namespace linomark {
namespace {

constexpr double kPixelsPerUnitX = 217.0 / 53.0;
constexpr double kPixelsPerUnitY = 77.0 / 20.373;

bool IsInk(const QImage& picture, int x, int y) { return qGray(picture.pixel(x, y)) < 128; }

// First and last inked column of a pixel row, or -1.
std::pair<int, int> InkSpan(const QImage& picture, int y) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < picture.width(); ++x) {
        if (IsInk(picture, x, y)) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    return {first, last};
}

int InkRows(const QImage& picture, double fromUnit, double toUnit) {
    int rows = 0;
    for (int y = static_cast<int>(fromUnit * kPixelsPerUnitY);
         y < static_cast<int>(toUnit * kPixelsPerUnitY); ++y) {
        rows += InkSpan(picture, y).first >= 0;
    }
    return rows;
}

int Row(double unit) { return static_cast<int>(unit * kPixelsPerUnitY); }

using SymbolProcedure = void (*)(DrawingSurface&, float, float, const std::u32string&);

void Preview(PreviewPicture& box, SymbolProcedure draw, float y, const std::u32string& symbolText) {
    box.Draw([&](DrawingSurface& surface) { draw(surface, 2.5f, y, symbolText); });
}

// Bars from 2.5 to 49.6 units in both types; type 0 bars y 2.0..15.0 with the
// text below, type 1 bars y 6.0..13.1 with the text above and three rules.
TEST(PreviewRender, BarsTextAndRulesOfA0000) {
    PreviewPicture box(QFont(QStringLiteral("Arial"), 9));
    Preview(box, PreviewBarCode, 2.0f, U"*A0000A*");
    const QImage type0 = box.Picture();
    ASSERT_EQ(type0.size(), QSize(217, 77));
    const auto bars = InkSpan(type0, Row(8.0));
    EXPECT_NEAR(bars.first, 2.5 * kPixelsPerUnitX, 1.0);
    EXPECT_NEAR(bars.second + 1, 49.6 * kPixelsPerUnitX, 1.0);
    EXPECT_EQ(InkRows(type0, 0.0, 1.9), 0) << "nothing above the bars";
    EXPECT_GT(InkRows(type0, 15.1, 20.373), 8) << "text under the bars";

    Preview(box, PreviewBarCodeCompaq, 6.0f, U"*A0000*");
    const QImage type1 = box.Picture();
    EXPECT_NEAR(InkSpan(type1, Row(9.0)).first, 2.5 * kPixelsPerUnitX, 1.0);
    for (const double rule : {5.65, 12.75, 18.0}) {
        const auto span = InkSpan(type1, Row(rule));
        EXPECT_EQ(span, std::make_pair(0, 216)) << "rule at " << rule;
    }
    EXPECT_GT(InkRows(type1, 0.0, 5.2), 8) << "text above the bars";
    EXPECT_EQ(InkRows(type1, 13.5, 17.5), 0) << "type 0 picture cleared";
}

TEST(PreviewRender, EmptyType0KeepsThePicture) {
    PreviewPicture box(QFont(QStringLiteral("Arial"), 9));
    Preview(box, PreviewBarCode, 2.0f, U"*A0000A*");
    const QImage before = box.Picture().copy();
    Preview(box, PreviewBarCode, 2.0f, U"");
    EXPECT_EQ(box.Picture(), before);
}

// A long value runs off the right edge; the picture keeps its size.
TEST(PreviewRender, LongValueIsCutAtTheEdge) {
    PreviewPicture box(QFont(QStringLiteral("Arial"), 9));
    Preview(box, PreviewBarCode, 2.0f, U"*" + std::u32string(2000, U'8') + U"*");
    EXPECT_EQ(box.Picture().size(), QSize(217, 77));
    EXPECT_GT(InkSpan(box.Picture(), Row(8.0)).second, 210);
}

// Only the part of a long text that reaches the box is laid out; what shows
// must still run across the whole box, and its width is the sum of its
// characters'.
TEST(PreviewRender, LongTextFillsTheBoxWidth) {
    PreviewPicture box(QFont(QStringLiteral("Arial"), 9));
    const std::u32string digits(3000, U'0');
    box.Draw([&digits](DrawingSurface& surface) {
        surface.SetFontFace("Arial");
        surface.SetFontSize(12.0f);
        EXPECT_NEAR(surface.TextWidth(digits), 3000 * surface.TextWidth(U"0"), 0.5);
        surface.SetCurrentX(-surface.TextWidth(digits) / 2.0f);
        surface.SetCurrentY(5.0f);
        surface.PrintText(digits);
    });
    const auto span = InkSpan(box.Picture(), Row(8.0));
    EXPECT_LT(span.first, 10);
    EXPECT_GT(span.second, 206);
}

TEST(PreviewRender, DevicePixelRatioTwoDoublesThePixels) {
    PreviewPicture box(QFont(QStringLiteral("Arial"), 9), 2.0);
    Preview(box, PreviewBarCode, 2.0f, U"*A0000A*");
    const QImage& picture = box.Picture();
    EXPECT_EQ(picture.size(), QSize(434, 154));
    EXPECT_EQ(picture.devicePixelRatio(), 2.0);
    const auto bars = InkSpan(picture, 2 * Row(8.0));
    EXPECT_NEAR(bars.first, 2 * 2.5 * kPixelsPerUnitX, 1.0);
    EXPECT_NEAR(bars.second + 1, 2 * 49.6 * kPixelsPerUnitX, 1.0);
}

// 12 points at 96 dpi are 16 pixels: "A0000" is (1366 + 4 * 1139) / 2048 em,
// 46.27 pixels, in horizontal units.
TEST(PreviewRender, TextWidthInHorizontalUnits) {
    PreviewPicture box(QFont(QStringLiteral("Arial"), 9));
    box.Draw([](DrawingSurface& surface) {
        surface.SetFontFace("Arial");
        surface.SetFontSize(12.0f);
        EXPECT_NEAR(surface.TextWidth(U"A0000"), 5922.0 / 2048.0 * 16.0 / kPixelsPerUnitX, 0.25);
    });
}

}  // namespace
}  // namespace linomark
