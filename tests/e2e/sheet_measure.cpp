// Measures where a printed label sheet landed on the paper.
//
//   sheet_measure [--dpi N] [--verbose] [--cells DIR] PAGE.pgm labels TYPE DX DY
//   sheet_measure [--dpi N] [--verbose] PAGE.pgm crosshairs TYPE DX DY
//   sheet_measure [--dpi N] [--whole-dots] [--cells DIR] PAGE.ppm lto LEFT TOP PITCH_X PITCH_Y
//                 COLUMNS ROWS WIDTH HEIGHT NARROW colour|mono  (see lto_measure.h)
//
// PAGE is the page rasterised from the paper's top-left corner (pdftoppm -r
// 300 -gray, or gs -sDEVICE=pgmraw -r300); TYPE is the label type (0 or 1);
// DX DY (mm) is how far the whole drawing should sit right of and below its
// nominal place: the printer's left/top margin plus any alignment offset.
//
// "labels" finds, for each of the thirty cells, the left edge of the first
// bar and the bars' centre line. "crosshairs" reads an alignment sheet: the
// same grid, no labels, and at every label origin a cross of two solid lines
// about 6 mm long; it finds the centre of each cross. Either way the tool
// compares each cell with its nominal point (label origin + shift) and the
// row pitch over nine rows with 20.9 mm, prints one summary line, and on
// failure (or with --verbose) a table of every cell.
//
// --cells DIR also writes each grid cell, where it should be (the grid moved
// by the shift), as DIR/cell-ROW-COLUMN.pgm, for a barcode reader to read
// each cell alone.
//
// Exit status: 0 when every deviation is within 0.3 mm and the pitch within
// 0.1 mm of 20.9 mm; 1 when not, or when the thirty cells cannot be found;
// 2 for a wrong command line or an unreadable page.
//
// The tool stands alone on purpose: the sheet geometry below is written out
// from the sheet's arithmetic, not taken from the program under test.

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kMmPerInch = 25.4;
constexpr int kRows = 10;
constexpr int kColumns = 3;
constexpr double kRowPitchMm = 20.9;
// The grid's first line, left and top, in both types.
constexpr double kGridLeftMm = 15.0;
constexpr double kGridTopMm = 15.0;
constexpr double kMaxDeviationMm = 0.3;
constexpr double kMaxPitchErrorMm = 0.1;
constexpr int kDarkBelow = 128;

// Sheet geometry in mm from the paper's top-left corner.
// Type 0: label origins x = 22.0 + c * 57.15 (22.0, 79.15, 136.3), y = 17.0 +
//   r * 20.9; bars 13.0 mm high from the origin, so their centre line is at
//   origin.y + 13.0 / 2 = origin.y + 6.5.
// Type 1: origins x = 21.0 + c * 56.0 (21.0, 77.0, 133.0), y = 21.3 + r * 20.9;
//   bars 7.1 mm high (centre origin.y + 3.55) between two full-width black
//   strips 0.5 mm high that touch them, so a dark run through a bar is
//   7.1 + 2 * 0.5 = 8.1 mm long.
// In both types the first bar starts exactly at the origin's x.
struct SheetType {
    double firstX;
    double columnPitch;
    double firstY;
    double barHeight;
    double centreBelowOrigin;
    double darkRunMin;  // the shortest and longest dark run through a bar
    double darkRunMax;
};
constexpr SheetType kTypes[2] = {
    {22.0, 57.15, 17.0, 13.0, 6.5, 13.0, 13.0},
    {21.0, 56.0, 21.3, 7.1, 3.55, 7.1, 8.1},
};

// A crosshair's lines are "about 6 mm long".
constexpr double kCrossLineMm = 6.0;

// A page may arrive scaled (that is what the tool is there to catch), so runs
// are accepted from 80 % to 115 % of their nominal length.
constexpr double kRunShrink = 0.80;
constexpr double kRunStretch = 1.15;

struct Point {
    double x = 0;
    double y = 0;
};

class Page {
public:
    Page(const QImage& image, double dpi) : image_(image), pxPerMm_(dpi / kMmPerInch) {}

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    double mm(double px) const { return px / pxPerMm_; }
    double px(double mm) const { return mm * pxPerMm_; }

    // How much of pixel (x, y) is covered with ink, 0 to 1; outside is white.
    double ink(int x, int y) const {
        if (x < 0 || y < 0 || x >= width() || y >= height()) {
            return 0;
        }
        return (255 - image_.constScanLine(y)[x]) / 255.0;
    }
    bool dark(int x, int y) const { return ink(x, y) > 1.0 - kDarkBelow / 255.0; }

private:
    QImage image_;
    double pxPerMm_;
};

// A run of dark pixels along one column (vertical) or one row (horizontal):
// `at` is the column or row, [from, to] the pixels it covers.
struct Run {
    int at;
    int from;
    int to;
};

enum class Along { Columns, Rows };

// The dark runs between minMm and maxMm long, down every column or across
// every row of the page.
std::vector<Run> DarkRuns(const Page& page, Along along, double minMm, double maxMm) {
    const int lo = static_cast<int>(std::floor(page.px(minMm)));
    const int hi = static_cast<int>(std::ceil(page.px(maxMm)));
    const bool columns = along == Along::Columns;
    const int lines = columns ? page.width() : page.height();
    const int length = columns ? page.height() : page.width();
    std::vector<Run> runs;
    for (int at = 0; at < lines; ++at) {
        int start = -1;
        for (int i = 0; i <= length; ++i) {
            const bool d = i < length && (columns ? page.dark(at, i) : page.dark(i, at));
            if (d && start < 0) {
                start = i;
            } else if (!d && start >= 0) {
                if (i - start >= lo && i - start <= hi) runs.push_back({at, start, i - 1});
                start = -1;
            }
        }
    }
    return runs;
}

// Runs that lie side by side, each within `gap` pixels of the last and with
// its middle within `drift` pixels of the group's first, form one group.
std::vector<std::vector<Run>> Group(std::vector<Run> runs, int gap, double drift) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
        return a.at < b.at || (a.at == b.at && a.from < b.from);
    });
    std::vector<std::vector<Run>> groups;
    for (const Run& run : runs) {
        const double middle = (run.from + run.to) / 2.0;
        std::vector<Run>* home = nullptr;
        for (auto& group : groups) {
            const Run& first = group.front();
            if (run.at - group.back().at <= gap &&
                std::abs((first.from + first.to) / 2.0 - middle) <= drift) {
                home = &group;
                break;
            }
        }
        if (home) {
            home->push_back(run);
        } else {
            groups.push_back({run});
        }
    }
    return groups;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Sub-pixel edges from the ink of the two pixels that straddle them: where a
// dark area starts at pixel p (p - 1 is light), an edge at e covers pixel p
// by min(1, p + 1 - e) and pixel p - 1 by max(0, p - e), so for e within
// [p - 1, p + 1] the two add up to p + 1 - e.
double LeadingEdge(double inkBefore, double inkFirst, int first) {
    return first + 1 - (inkBefore + inkFirst);
}
// Where a dark area ends at pixel q (q + 1 is light): the two add up to e - q.
double TrailingEdge(double inkLast, double inkAfter, int last) { return last + inkLast + inkAfter; }

// The centre line (in pixels) of one vertical run, from its sub-pixel ends.
double RunMiddle(const Page& page, const Run& run) {
    const double top =
        LeadingEdge(page.ink(run.at, run.from - 1), page.ink(run.at, run.from), run.from);
    const double bottom =
        TrailingEdge(page.ink(run.at, run.to), page.ink(run.at, run.to + 1), run.to);
    return (top + bottom) / 2;
}

// A label: its bars' runs, grouped. Its point is the left edge of its first
// bar and the median centre line of its bars.
Point LabelPoint(const Page& page, const std::vector<Run>& bars) {
    const int left = bars.front().at;
    std::vector<double> middles;
    std::vector<double> edges;
    for (const Run& run : bars) {
        middles.push_back(RunMiddle(page, run));
        if (run.at == left) {
            // The edge along the middle half of the first bar's column.
            const int quarter = (run.to - run.from) / 4;
            for (int y = run.from + quarter; y <= run.to - quarter; ++y) {
                edges.push_back(LeadingEdge(page.ink(left - 1, y), page.ink(left, y), left));
            }
        }
    }
    return {page.mm(Median(edges)), page.mm(Median(middles))};
}

// Every label on the page, in no particular order.
std::vector<Point> FindLabels(const Page& page, const SheetType& type) {
    std::vector<Run> runs =
        DarkRuns(page, Along::Columns, type.darkRunMin * kRunShrink, type.darkRunMax * kRunStretch);
    // Bars of one label lie within a few mm of each other (a Code 39 gap is
    // one narrow module); the labels of a row are more than 10 mm apart.
    const auto groups = Group(runs, static_cast<int>(page.px(3.0)), page.px(1.0));
    std::vector<Point> labels;
    for (const auto& group : groups) {
        const double widthMm = page.mm(group.back().at - group.front().at);
        if (group.size() >= 20 && widthMm >= 15.0) {
            labels.push_back(LabelPoint(page, group));
        }
    }
    return labels;
}

// The centre of a line from its runs: the median middle across its length.
double LineMiddle(const Page& page, const std::vector<Run>& line, bool vertical) {
    std::vector<double> middles;
    // Across the line: from the first to the last run, with sub-pixel ends
    // measured along each pixel of the line's length.
    const Run& first = line.front();
    const Run& last = line.back();
    for (int along = first.from; along <= first.to; ++along) {
        double before, start, end, after;
        if (vertical) {  // runs are columns; across the line is x
            before = page.ink(first.at - 1, along);
            start = page.ink(first.at, along);
            end = page.ink(last.at, along);
            after = page.ink(last.at + 1, along);
        } else {  // runs are rows; across the line is y
            before = page.ink(along, first.at - 1);
            start = page.ink(along, first.at);
            end = page.ink(along, last.at);
            after = page.ink(along, last.at + 1);
        }
        const double lead = LeadingEdge(before, start, first.at);
        const double trail = TrailingEdge(end, after, last.at);
        middles.push_back((lead + trail) / 2);
    }
    return Median(middles);
}

// Every crosshair: a vertical and a horizontal line, each about 6 mm long and
// thinner than 1 mm, that cross near their middles.
std::vector<Point> FindCrosshairs(const Page& page) {
    const double minMm = kCrossLineMm * 0.65;
    const double maxMm = kCrossLineMm * 1.35;
    const int thickest = static_cast<int>(page.px(1.0));
    const auto keep = [&](std::vector<std::vector<Run>> groups) {
        std::vector<std::vector<Run>> lines;
        for (auto& group : groups) {
            if (group.back().at - group.front().at < thickest) {
                lines.push_back(std::move(group));
            }
        }
        return lines;
    };
    const auto verticals =
        keep(Group(DarkRuns(page, Along::Columns, minMm, maxMm), 1, page.px(0.5)));
    const auto horizontals =
        keep(Group(DarkRuns(page, Along::Rows, minMm, maxMm), 1, page.px(0.5)));
    std::vector<Point> crosses;
    for (const auto& v : verticals) {
        const double vx = LineMiddle(page, v, true);
        const double vFrom = v.front().from;
        const double vTo = v.front().to;
        const double vMiddle = (vFrom + vTo) / 2;
        const std::vector<Run>* best = nullptr;
        double bestDistance = page.px(1.5);
        for (const auto& h : horizontals) {
            const double hMiddleX = (h.front().from + h.front().to) / 2.0;
            const double hy = (h.front().at + h.back().at) / 2.0;
            const double distance = std::hypot(hMiddleX - vx, hy - vMiddle);
            if (hy >= vFrom && hy <= vTo && vx >= h.front().from && vx <= h.front().to &&
                distance < bestDistance) {
                best = &h;
                bestDistance = distance;
            }
        }
        if (best) {
            crosses.push_back({page.mm(vx), page.mm(LineMiddle(page, *best, false))});
        }
    }
    return crosses;
}

// Sorts thirty points into ten rows of three, top to bottom and left to
// right; false when they do not make that shape.
bool IntoCells(std::vector<Point> points, Point cells[kRows][kColumns], QString& why) {
    if (points.size() != kRows * kColumns) {
        why =
            QStringLiteral("found %1 labels, expected %2").arg(points.size()).arg(kRows * kColumns);
        return false;
    }
    std::sort(points.begin(), points.end(),
              [](const Point& a, const Point& b) { return a.y < b.y; });
    for (int row = 0; row < kRows; ++row) {
        auto begin = points.begin() + row * kColumns;
        std::sort(begin, begin + kColumns,
                  [](const Point& a, const Point& b) { return a.x < b.x; });
        const double spread = std::max({begin[0].y, begin[1].y, begin[2].y}) -
                              std::min({begin[0].y, begin[1].y, begin[2].y});
        if (spread > 5.0) {
            why = QStringLiteral("row %1 is not level (%2 mm from highest to lowest)")
                      .arg(row)
                      .arg(spread, 0, 'f', 2);
            return false;
        }
        for (int column = 0; column < kColumns; ++column) {
            cells[row][column] = begin[column];
        }
    }
    return true;
}

// Writes every grid cell, moved by (dx, dy), into its own file.
bool WriteCells(const QImage& image, const Page& page, const SheetType& type, double dx, double dy,
                const QString& folder) {
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QRect cell(qRound(page.px(kGridLeftMm + column * type.columnPitch + dx)),
                             qRound(page.px(kGridTopMm + row * kRowPitchMm + dy)),
                             qRound(page.px(type.columnPitch)), qRound(page.px(kRowPitchMm)));
            const QString name =
                QStringLiteral("%1/cell-%2-%3.pgm").arg(folder).arg(row).arg(column);
            if (!image.copy(cell).save(name, "PGM")) {
                std::fprintf(stderr, "sheet_measure: cannot write %s\n", qUtf8Printable(name));
                return false;
            }
        }
    }
    return true;
}

}  // namespace

// The LTO mode uses the page and its edges above.
#include "lto_measure.h"

namespace {

int Usage() {
    std::fputs(
        "usage: sheet_measure [--dpi N] [--verbose] [--cells DIR] PAGE.pgm labels|crosshairs "
        "TYPE(0|1) DX DY\n       sheet_measure [--dpi N] [--cells DIR] PAGE.ppm lto LEFT TOP "
        "PITCH_X PITCH_Y COLUMNS ROWS WIDTH HEIGHT NARROW colour|mono\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    double dpi = 300;
    bool verbose = false;
    QString cellFolder;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--verbose")) {
            verbose = true;
        } else if (option == QLatin1String("--whole-dots")) {
            gWholeDots = true;
        } else if (option == QLatin1String("--cells") && !args.isEmpty()) {
            cellFolder = args.takeFirst();
        } else if (option == QLatin1String("--dpi") && !args.isEmpty()) {
            bool ok = false;
            dpi = args.takeFirst().toDouble(&ok);
            if (!ok || dpi < 72) {
                return Usage();
            }
        } else {
            return Usage();
        }
    }
    if (args.value(1) == QLatin1String("lto")) {
        QImageReader::setAllocationLimit(1024);  // an A4 page at 600 dpi in colour is 104 MB
        const QImage image(args[0]);
        if (image.isNull()) return Usage();
        return MeasureLto(image.convertToFormat(QImage::Format_RGB32), dpi, args.mid(2),
                          cellFolder);
    }
    bool okX = false;
    bool okY = false;
    if (args.size() != 5 ||
        (args[1] != QLatin1String("labels") && args[1] != QLatin1String("crosshairs")) ||
        (args[2] != QLatin1String("0") && args[2] != QLatin1String("1"))) {
        return Usage();
    }
    const double dx = args[3].toDouble(&okX);
    const double dy = args[4].toDouble(&okY);
    if (!okX || !okY) {
        return Usage();
    }
    const bool crosshairs = args[1] == QLatin1String("crosshairs");
    const SheetType& type = kTypes[args[2].toInt()];

    QImage image(args[0]);
    if (image.isNull()) {
        std::fprintf(stderr, "sheet_measure: cannot read %s\n", qUtf8Printable(args[0]));
        return 2;
    }
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const Page page(gray, dpi);
    if (!cellFolder.isEmpty() && !WriteCells(gray, page, type, dx, dy, cellFolder)) {
        return 2;
    }

    const std::vector<Point> found = crosshairs ? FindCrosshairs(page) : FindLabels(page, type);
    Point cells[kRows][kColumns];
    QString why;
    if (!IntoCells(found, cells, why)) {
        std::printf("FAIL: %s on a %.1f x %.1f mm page\n", qUtf8Printable(why),
                    page.mm(page.width()), page.mm(page.height()));
        for (const Point& p : found) {
            std::printf("  found at x %.2f y %.2f\n", p.x, p.y);
        }
        return 1;
    }

    // The nominal point of each cell: the first bar's x and the bars' centre
    // line, or the crosshair's centre at the label origin.
    const double centreBelow = crosshairs ? 0.0 : type.centreBelowOrigin;
    double worst = 0;
    double pitchWorst = 0;
    double pitches[kColumns];
    for (int column = 0; column < kColumns; ++column) {
        pitches[column] = (cells[kRows - 1][column].y - cells[0][column].y) / (kRows - 1);
        pitchWorst = std::max(pitchWorst, std::abs(pitches[column] - kRowPitchMm));
        for (int row = 0; row < kRows; ++row) {
            const double nx = type.firstX + column * type.columnPitch + dx;
            const double ny = type.firstY + row * kRowPitchMm + centreBelow + dy;
            worst = std::max(
                {worst, std::abs(cells[row][column].x - nx), std::abs(cells[row][column].y - ny)});
        }
    }
    // How the drawing was scaled, from the spread of the columns and rows:
    // 1.000 when it arrived 1:1.
    double columnSpread = 0;
    for (int row = 0; row < kRows; ++row) {
        columnSpread += (cells[row][kColumns - 1].x - cells[row][0].x) / (kRows * (kColumns - 1));
    }
    const double scaleX = columnSpread / type.columnPitch;
    const double scaleY = (pitches[0] + pitches[1] + pitches[2]) / 3 / kRowPitchMm;
    const bool pass = worst <= kMaxDeviationMm && pitchWorst <= kMaxPitchErrorMm;

    std::printf(
        "%s: %s, shift %.2f %.2f mm: largest deviation %.3f mm (limit %.1f); "
        "row pitch %.3f %.3f %.3f mm (nominal %.1f +- %.1f); scale x %.4f y %.4f\n",
        pass ? "PASS" : "FAIL", crosshairs ? "crosshairs" : "labels", dx, dy, worst,
        kMaxDeviationMm, pitches[0], pitches[1], pitches[2], kRowPitchMm, kMaxPitchErrorMm, scaleX,
        scaleY);
    if (!pass || verbose) {
        std::printf("row col   nominal x      y   measured x      y      dx      dy\n");
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const double nx = type.firstX + column * type.columnPitch + dx;
                const double ny = type.firstY + row * kRowPitchMm + centreBelow + dy;
                const Point& m = cells[row][column];
                const bool bad =
                    std::abs(m.x - nx) > kMaxDeviationMm || std::abs(m.y - ny) > kMaxDeviationMm;
                std::printf("%3d %3d %9.2f %7.2f %10.2f %7.2f %+7.2f %+7.2f%s\n", row, column, nx,
                            ny, m.x, m.y, m.x - nx, m.y - ny, bad ? "  <-" : "");
            }
        }
    }
    return pass ? 0 : 1;
}
