// The "lto" mode of sheet_measure: every cell of an LTO label sheet, given
// by its stock's numbers, measured on a colour page rasterised from the
// paper's corner. For each cell one line: "blank", or what ZXing reads, the
// narrow element, the wide-to-narrow ratio, the bar height, the quiet zones
// in narrow elements, how far the label's ink is off the cell's middle, and
// the colour inside each text box. The symbol rules and the colour code
// (MODE colour) or its absence from the whole page (MODE mono) are checked
// here; the script checks the texts.
#pragma once

#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <QRectF>
#include <QStringList>
#include <set>
#include <utility>

namespace {

constexpr double kLtoRatio = 2.75, kLtoRatioTolerance = 0.2, kLtoNarrowTolerance = 0.03;
constexpr double kLtoShortestBars = 11.1, kLtoQuietNarrows = 10;
constexpr int kBlackBelow = 60;  // outlines; the darkest box fill, #BB282E, is grey 84
constexpr int kWhiteAbove = 200;
constexpr int kColourTolerance = 12;  // per channel
// The colour code of the digits 0 to 9; letters and the media ID stay white.
constexpr QRgb kPalette[10] = {0xbb282e, 0xfae54a, 0x9ac653, 0x01a5e2, 0x9eaab6,
                               0xd97e35, 0xe27b99, 0x67a945, 0xf6b855, 0x705a81};

bool Near(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))}) <= kColourTolerance;
}

// Whether the boxes of a label reading text have the colours they should.
bool RightColours(const std::vector<QRgb>& boxes, const QString& text, bool colour) {
    if (boxes.size() != std::size_t(text.size() - 1)) return false;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const QChar c = i + 1 < boxes.size() ? text.at(int(i)) : QChar();
        const QRgb want = colour && c.isDigit() ? kPalette[c.digitValue()] : 0xffffff;
        if (!Near(boxes[i], want)) return false;
    }
    return true;
}

using Edges = std::pair<double, double>;

// The bars across row y from x0 to x1, with sub-pixel edges.
std::vector<Edges> BarsAlong(const Page& page, int y, int x0, int x1) {
    std::vector<Edges> bars;
    for (int x = x0, start = -1; x <= x1; ++x) {
        const bool d = x < x1 && page.dark(x, y);
        if (d && start < 0) start = x;
        if (!d && start >= 0) {
            bars.push_back({LeadingEdge(page.ink(start - 1, y), page.ink(start, y), start),
                            TrailingEdge(page.ink(x - 1, y), page.ink(x, y), x - 1)});
            start = -1;
        }
    }
    return bars;
}

// Narrow and wide: bars and gaps each split at the middle of their shortest
// and longest, and the mean bar and mean gap of a kind averaged, so that ink
// spreading (bars wider, gaps narrower by as much) cancels out.
std::pair<double, double> NarrowAndWide(const std::vector<Edges>& bars) {
    std::vector<double> widths[2];  // bars, gaps
    for (std::size_t i = 0; i < bars.size(); ++i) {
        widths[0].push_back(bars[i].second - bars[i].first);
        if (i + 1 < bars.size()) widths[1].push_back(bars[i + 1].first - bars[i].second);
    }
    double mean[2][2] = {};  // [bars, gaps][narrow, wide]
    for (int k = 0; k < 2; ++k) {
        const auto [lo, hi] = std::minmax_element(widths[k].begin(), widths[k].end());
        const double middle = (*lo + *hi) / 2;
        double count[2] = {0, 0};
        for (const double w : widths[k]) mean[k][w > middle] += w, ++count[w > middle];
        for (int kind = 0; kind < 2; ++kind) mean[k][kind] /= std::max(count[kind], 1.0);
    }
    return {(mean[0][0] + mean[1][0]) / 2, (mean[0][1] + mean[1][1]) / 2};
}

// With --whole-dots the page is at the printer's own dots: every narrow bar
// and space one count of dots, every wide one another ("3/8").
bool gWholeDots = false;
QString DotCounts(const std::vector<Edges>& bars, bool& same) {
    std::set<int> widths;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        widths.insert(qRound(bars[i].second - bars[i].first));
        if (i + 1 < bars.size()) widths.insert(qRound(bars[i + 1].first - bars[i].second));
    }
    QStringList counts;
    for (const int w : widths) counts << QString::number(w);
    same = widths.size() == 2;
    return counts.join(QLatin1Char('/'));
}
int Grey(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)); }

// The colour inside each text box, from its outlines: columns black from
// the boxes' top down their whole height.
std::vector<QRgb> BoxColours(const QImage& image, int top, int left, int right) {
    const auto blackRun = [&](int x) {
        int y = top + 1;
        while (y < image.height() && Grey(image, x, y) < kBlackBelow) ++y;
        return y - top;
    };
    const int height = blackRun(left + 1);
    std::vector<QRgb> colours;
    for (int x = left, boxStart = -1; x <= right + 2; ++x) {
        const bool outline = blackRun(x) >= height * 9 / 10;
        if (!outline && boxStart < 0) boxStart = x;
        if (outline && boxStart >= 0 && x - boxStart > 20) {
            colours.push_back(image.pixel(boxStart + 8, top + height / 2) & 0xffffff);
        }
        if (outline) boxStart = -1;
    }
    return colours;
}

QString Read(const QImage& cell) {
    const QImage grey = cell.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                                ZXing::ImageFormat::Lum, static_cast<int>(grey.bytesPerLine()));
    const auto result =
        ZXing::ReadBarcode(view, ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::Code39));
    return result.isValid() ? QString::fromStdWString(result.text()) : QStringLiteral("-");
}

QRect CellPixels(const Page& page, const QRectF& mm) {
    return {qRound(page.px(mm.left())), qRound(page.px(mm.top())), qRound(page.px(mm.width())),
            qRound(page.px(mm.height()))};
}

// One cell: its line of the report; false when a rule is broken.
bool MeasureLtoCell(const Page& page, const QImage& image, const QRectF& mm, double narrowMm,
                    bool colour, QString& line) {
    const QRect cell = CellPixels(page, mm);
    const int y = cell.top() + cell.height() * 65 / 100;
    const auto bars = BarsAlong(page, y, cell.left() + 4, cell.right() - 4);
    if (bars.size() < 20) return line = QStringLiteral("blank"), true;
    const auto [narrowPx, widePx] = NarrowAndWide(bars);
    const int bx = qRound((bars[0].first + bars[0].second) / 2);
    // The ink starts 0.5 mm inside the label at least; a cutting line may lie on its edge.
    int top = y, bottom = y, inkTop = cell.top() + qRound(page.px(0.3));
    while (page.dark(bx, top - 1)) --top;
    while (page.dark(bx, bottom + 1)) ++bottom;
    while (inkTop < top && Grey(image, bx, inkTop) > kWhiteAbove) ++inkTop;
    const double narrow = page.mm(narrowPx), ratio = widePx / narrowPx;
    const double barHeight =
        page.mm(TrailingEdge(page.ink(bx, bottom), page.ink(bx, bottom + 1), bottom) -
                LeadingEdge(page.ink(bx, top - 1), page.ink(bx, top), top));
    const double quietLeft = page.mm(bars.front().first - cell.left()) / narrow;
    const double quietRight = page.mm(cell.right() + 1 - bars.back().second) / narrow;
    const double errorX = page.mm((bars.front().first + bars.back().second) / 2) - mm.center().x();
    const double errorY = page.mm((inkTop + bottom) / 2.0) - mm.center().y();
    const double error = std::max(std::abs(errorX), std::abs(errorY));
    const QString text = Read(image.copy(cell));
    const auto boxes =
        BoxColours(image, inkTop, qRound(bars.front().first), qRound(bars.back().second));
    QStringList names;
    for (const QRgb box : boxes) names << QColor(box).name();
    bool same = true;
    const QString dots = DotCounts(bars, same);
    line = QStringLiteral("%1 narrow %2 ratio %3 bars %4 quiet %5 %6 off %7 boxes %8 dots %9")
               .arg(text)
               .arg(narrow, 0, 'f', 3)
               .arg(ratio, 0, 'f', 2)
               .arg(barHeight, 0, 'f', 2)
               .arg(quietLeft, 0, 'f', 1)
               .arg(quietRight, 0, 'f', 1)
               .arg(error, 0, 'f', 3)
               .arg(names.join(QLatin1Char(',')))
               .arg(dots);
    return (same || !gWholeDots) && std::abs(narrow - narrowMm) <= kLtoNarrowTolerance &&
           std::abs(ratio - kLtoRatio) <= kLtoRatioTolerance && barHeight >= kLtoShortestBars &&
           std::min(quietLeft, quietRight) >= kLtoQuietNarrows && error <= kMaxDeviationMm &&
           RightColours(boxes, text, colour);
}

// args: LEFT TOP PITCH_X PITCH_Y COLUMNS ROWS WIDTH HEIGHT NARROW (mm) MODE.
int MeasureLto(const QImage& image, double dpi, const QStringList& args,
               const QString& cellFolder) {
    double n[9];
    for (int i = 0; i < 9; ++i) n[i] = args.value(i).toDouble();
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const Page page(grey, dpi);
    const bool colour = args.value(9) == QLatin1String("colour");
    bool pass = args.size() == 10;
    const int columns = qMax(1, int(n[4]));
    for (int i = 0; i < columns * int(n[5]); ++i) {
        const QRectF mm(n[0] + (i % columns) * n[2], n[1] + (i / columns) * n[3], n[6], n[7]);
        QString line;
        const bool ok = MeasureLtoCell(page, image, mm, n[8], colour, line);
        std::printf("cell %d %s%s\n", i + 1, qUtf8Printable(line), ok ? "" : "  <- FAIL");
        if (!cellFolder.isEmpty())
            grey.copy(CellPixels(page, mm))
                .save(QStringLiteral("%1/cell-%2.pgm").arg(cellFolder).arg(i + 1));
        pass = pass && ok;
    }
    // A pixel with colour: its channels differ by more than the tolerance.
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int r = qRed(row[x]), g = qGreen(row[x]), b = qBlue(row[x]);
            coloured += std::max({r, g, b}) - std::min({r, g, b}) > kColourTolerance;
        }
    }
    std::printf("coloured pixels %d\n", coloured);
    return pass && (colour || coloured == 0) ? 0 : 1;
}

}  // namespace
