// Labels drawn through the page surface onto real devices: read back by a
// barcode reader, and measured on paper. Golden sizes come from the label
// layout and from the font's own metrics (Arial / Liberation Sans: "A" is
// 1366 and each digit 1139 of 2048 units wide, a line is 1.149 em).
#include <gtest/gtest.h>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <string>

#include "drawing/label.h"
#include "drawing/page_surface.h"
#include "drawing/text_runs.h"
#include "sheet/page_pdf.h"
#include "symbology/code39.h"

namespace linomark {
namespace {

constexpr int kDpi = 300;
constexpr double kPixelsPerMm = kDpi / 25.4;
constexpr double kEmMm = 12.0 * 25.4 / 72.0;  // Arial 12: 4.2333 mm an em

QImage WhitePage(double widthMm, double heightMm, int dpi = kDpi) {
    QImage image(static_cast<int>(widthMm * dpi / 25.4), static_cast<int>(heightMm * dpi / 25.4),
                 QImage::Format_Grayscale8);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
    image.fill(Qt::white);
    return image;
}

// A label alone on a 60 x 32 mm piece of paper, quiet zones all round.
QImage RenderLabel(int labelType, const std::u32string& value, int dpi = kDpi) {
    QImage image = WhitePage(60.0, 32.0, dpi);
    PageSurface page(image);
    page.SetUnitToMillimetres();
    if (labelType == 1) {
        PrintBarCodeCompaq(page, 7.0f, 12.0f, CompleteBarCodeCompaq(value));
    } else {
        PrintBarCode(page, 7.0f, 6.0f, CompleteBarCode(value));
    }
    page.EndDocument();
    return image;
}

std::string Decode(const QImage& image) {
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(),
                                ZXing::ImageFormat::Lum, static_cast<int>(image.bytesPerLine()));
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::Code39);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? result.text() : "(nothing read)";
}

// Check characters by hand from the mod-43 values: A = 10, Q..W = 26..32, so
// A000Q..A000W sum to 36..42: "-", ".", space, "$", "/", "+", "%".
TEST(PageRender, LabelsDecodeWithTheirCheckCharacter) {
    struct Case {
        int labelType;
        std::u32string value;
        std::string decoded;
    } const cases[] = {
        {0, U"A0000", "A0000A"},  {0, U"Z9999", "Z9999S"},  {0, U"A000Q", "A000Q-"},
        {0, U"A000R", "A000R."},  {0, U"A000S", "A000S "},  {0, U"A000T", "A000T$"},
        {0, U"A000U", "A000U/"},  {0, U"A000V", "A000V+"},  {0, U"A000W", "A000W%"},
        {1, U"AB0012", "AB0012"}, {1, U"C00009", "C00009"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(RenderLabel(c.labelType, c.value)), c.decoded) << c.decoded;
    }
}

struct Ink {
    int left = -1, top = -1, right = -1, bottom = -1;
};

Ink InkBounds(const QImage& image, const QRect& area) {
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            if (row[x] < 128) {
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = ink.top < 0 ? y : ink.top;
                ink.bottom = y;
            }
        }
    }
    return ink;
}

// Nothing is scaled to fit: the bars of *A0000A* span 8 * 5.2832 mm less the
// final narrow gap, 41.9354 mm, and stand 13.0 mm tall.
TEST(PageRender, SymbolKeepsItsSizeOnPaper) {
    for (const int dpi : {300, 600}) {
        const double pixelsPerMm = dpi / 25.4;
        const QImage image = RenderLabel(0, U"A0000", dpi);
        const int barRow = static_cast<int>(7.0 * pixelsPerMm);
        const Ink row = InkBounds(image, QRect(0, barRow, image.width(), 1));
        EXPECT_NEAR((row.right + 1 - row.left) / pixelsPerMm, 41.9354, 2 / pixelsPerMm) << dpi;
        EXPECT_NEAR(row.left / pixelsPerMm, 7.0, 1 / pixelsPerMm) << dpi;
        const Ink column = InkBounds(image, QRect(row.left, 0, 1, 19 * pixelsPerMm));
        EXPECT_NEAR(column.top / pixelsPerMm, 6.0, 1 / pixelsPerMm) << dpi;
        EXPECT_NEAR((column.bottom + 1 - column.top) / pixelsPerMm, 13.0, 2 / pixelsPerMm) << dpi;
    }
}

// 12 points are 12 points on paper: digits stand 0.716 em (3.03 mm) tall,
// the text's top is the top of its ascent box (0.905 em above the baseline),
// and the next line is 1.149 em lower.
TEST(PageRender, TwelvePointTextOnPaper) {
    QImage image = WhitePage(40.0, 20.0);
    PageSurface page(image);
    page.SetUnitToMillimetres();
    page.SetFontFace("Arial");
    page.SetFontSize(12.0f);
    page.SetCurrentX(5.0f);
    page.SetCurrentY(2.0f);
    page.PrintText(U"0000");
    page.SetCurrentX(5.0f);
    page.PrintText(U"0000");
    page.EndDocument();
    const int split = static_cast<int>((2.0 + kEmMm) * kPixelsPerMm);
    const Ink first = InkBounds(image, QRect(0, 0, image.width(), split));
    const Ink second = InkBounds(image, QRect(0, split, image.width(), image.height() - split));
    const double tolerance = 0.1;
    EXPECT_NEAR((first.bottom + 1 - first.top) / kPixelsPerMm, 0.716 * kEmMm, tolerance);
    EXPECT_NEAR(first.top / kPixelsPerMm, 2.0 + (0.905 - 0.716) * kEmMm, tolerance);
    EXPECT_NEAR((second.top - first.top) / kPixelsPerMm, 1.149 * kEmMm, tolerance);
    EXPECT_NEAR(first.left / kPixelsPerMm, 5.0, 0.3) << "starts at x, less the digit's bearing";
}

// Text measured in millimetres is the same on every device: "A0000" is
// (1366 + 4 * 1139) / 2048 em = 12.24 mm in Arial 12.
float ArialWidthOfA0000(DrawingSurface& page) {
    page.SetUnitToMillimetres();
    page.SetFontFace("Arial");
    page.SetFontSize(12.0f);
    return page.TextWidth(U"A0000");
}

TEST(PageRender, TextWidthIsInMillimetresOnEveryDevice) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage image = WhitePage(10.0, 10.0);
    QPdfWriter writer(dir.filePath("writer.pdf"));
    struct Case {
        const char* name;
        QPaintDevice* device;
    } const cases[] = {{"300-dpi image", &image}, {"PDF writer", &writer}};
    for (const Case& c : cases) {
        PageSurface page(*c.device);
        EXPECT_NEAR(ArialWidthOfA0000(page), 5922.0 / 2048.0 * kEmMm, 0.1) << c.name;
        EXPECT_FALSE(c.device->paintingActive()) << c.name << ": measuring opens no page";
    }
    // The PDF writer the program prints and saves through; only the measure
    // matters here, not the (empty) document.
    float width = 0.0f;
    static_cast<void>(MakePagePdf(*PaperNamed("A4"), {}, {},
                                  [&width](DrawingSurface& page) { width = ArialWidthOfA0000(page); }));
    EXPECT_NEAR(width, 5922.0 / 2048.0 * kEmMm, 0.1) << "the program's PDF page";
}

TEST(PageSurface, PageOpensAtFirstDrawingAndEndsOnce) {
    QTemporaryDir dir;
    QPdfWriter writer(dir.filePath("page.pdf"));
    PageSurface page(writer);
    page.SetUnitToMillimetres();
    page.SetBold(false);
    EXPECT_FALSE(writer.paintingActive());
    page.DrawLine(15.0f, 15.0f, 100.0f, 15.0f);
    EXPECT_TRUE(writer.paintingActive());
    page.EndDocument();
    EXPECT_FALSE(writer.paintingActive());
    EXPECT_THROW(page.FillBox(0.0f, 0.0f, 1.0f, 1.0f), SurfaceError) << "no second page";
    QFile pdf(dir.filePath("page.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
}

TEST(PageSurface, UnopenableDeviceThrowsAtFirstDrawing) {
    QPdfWriter writer(QStringLiteral("/nonexistent-folder/label.pdf"));
    PageSurface page(writer);
    page.SetUnitToMillimetres();
    EXPECT_THROW(page.FillBox(0.0f, 0.0f, 1.0f, 1.0f), SurfaceError);
}

// Of a long text, only what reaches the device is laid out; the cuts fall
// between whole characters, as half a surrogate pair draws a replacement
// glyph. The edges sweep over a few characters' widths so that some cut
// would fall inside a pair.
TEST(TextRuns, LongTextsAreCutBetweenWholeCharacters) {
    struct Case {
        const char* name;
        std::u32string unit;
    } const cases[] = {
        {"a letter and U+1F600 in turn", U"A\U0001F600"},
    };
    QImage device = WhitePage(40.0, 10.0);
    const QFont font(QStringLiteral("Arial"), 12);
    for (const Case& c : cases) {
        std::u32string text;
        for (int i = 0; i < 300; ++i) text += c.unit;
        for (int edge = 0; edge < 100; ++edge) {
            const TextRun run =
                VisibleRun(font, &device, ToQString(text), -2000.0 - edge, 300.0 + edge);
            ASSERT_FALSE(run.text.isEmpty()) << c.name;
            EXPECT_FALSE(run.text.front().isLowSurrogate()) << c.name << ", left edge " << edge;
            EXPECT_FALSE(run.text.back().isHighSurrogate()) << c.name << ", right edge " << edge;
        }
    }
}

}  // namespace
}  // namespace linomark
