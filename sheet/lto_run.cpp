#include "sheet/lto_run.h"

#include <QString>
#include <algorithm>
#include <cstdio>

#include "drawing/label_kinds.h"
#include "drawing/lto_label.h"
#include "sheet/page_pdf.h"

namespace linomark {
namespace {

constexpr Rgb kCutLineGrey{160, 160, 160};
constexpr float kCrossArm = 2.0f;  // each arm of a corner cross, millimetres
// Each outline carries its label's number, as Start at label counts, inside
// its top-left corner clear of the cross.
constexpr float kNumberInset = kCrossArm + 0.5f;
constexpr float kNumberPoints = 7.0f;
constexpr char kNumberFace[] = "Arial";

std::string Counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string ShownValue(const LtoLabel& label) { return label.serial + label.mediaId; }

Outcome<Done> CheckLabels(const std::vector<LtoLabel>& labels) {
    if (labels.size() > static_cast<std::size_t>(kLtoMaxCount)) {
        return Fail("A job takes at most " + std::to_string(kLtoMaxCount) + " labels.");
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (labels[i].serial.empty()) continue;
        Outcome<Done> serial = CheckSerial(labels[i].serial);
        Outcome<Done> media = serial ? CheckMediaId(labels[i].mediaId) : std::move(serial);
        if (!media) return Fail("Label " + std::to_string(i + 1) + ": " + media.Reason());
    }
    return Done{};
}

std::string Summary(const std::vector<LtoLabel>& labels, int printed, int sheets) {
    const auto first = std::find_if(labels.begin(), labels.end(),
                                    [](const LtoLabel& l) { return !l.serial.empty(); });
    const auto last = std::find_if(labels.rbegin(), labels.rend(),
                                   [](const LtoLabel& l) { return !l.serial.empty(); });
    const std::string range =
        printed == 1 ? ShownValue(*first) : ShownValue(*first) + " to " + ShownValue(*last);
    return Counted(printed, "label", "labels") + ", " + range + ", on " +
           Counted(sheets, "sheet", "sheets");
}

// The top-left corner of cell index (0 = top left, across then down).
struct CellCorner {
    float x;
    float y;
};
CellCorner CornerOf(const SheetLayout& s, int cell) {
    const int column = cell % s.columns;
    const int row = cell / s.columns;
    return {s.left + static_cast<float>(column) * s.pitchX,
            s.top + static_cast<float>(row) * s.pitchY};
}

void DrawCellOutline(DrawingSurface& page, const SheetLayout& s, CellCorner c) {
    const float right = c.x + s.labelWidth;
    const float bottom = c.y + s.labelHeight;
    page.DrawLine(c.x, c.y, right, c.y);
    page.DrawLine(right, c.y, right, bottom);
    page.DrawLine(right, bottom, c.x, bottom);
    page.DrawLine(c.x, bottom, c.x, c.y);
}

void DrawCutLines(DrawingSurface& page, const SheetLayout& s) {
    page.SetColour(kCutLineGrey);
    for (int cell = 0; cell < LabelsPerSheet(s); ++cell)
        DrawCellOutline(page, s, CornerOf(s, cell));
    page.SetColour(kBlack);
}

void DrawCross(DrawingSurface& page, float x, float y) {
    page.DrawLine(x - kCrossArm, y, x + kCrossArm, y);
    page.DrawLine(x, y - kCrossArm, x, y + kCrossArm);
}

void DrawNumber(DrawingSurface& page, CellCorner c, int number) {
    const std::string digits = std::to_string(number);
    page.SetCurrentX(c.x + kNumberInset);
    page.SetCurrentY(c.y + kNumberInset - kCrossArm);
    page.PrintText(std::u32string(digits.begin(), digits.end()));
}

void DrawOutlinesPage(DrawingSurface& page, const SheetLayout& s) {
    page.SetFontFace(kNumberFace);
    page.SetFontSize(kNumberPoints);
    for (int cell = 0; cell < LabelsPerSheet(s); ++cell) {
        const CellCorner c = CornerOf(s, cell);
        DrawCellOutline(page, s, c);
        for (const float x : {c.x, c.x + s.labelWidth}) {
            for (const float y : {c.y, c.y + s.labelHeight}) DrawCross(page, x, y);
        }
        DrawNumber(page, c, cell + 1);
    }
}

void DrawLabels(DrawingSurface& page, const LtoJob& job, const DotGrid& dots) {
    const SheetLayout& s = job.stock;
    const LabelStyle style{s.labelWidth, s.labelHeight, job.colour, dots};
    const LabelKind& kind = LabelKindOf(LabelType::Lto);
    const int perSheet = LabelsPerSheet(s);
    for (std::size_t i = 0; i < job.labels.size(); ++i) {
        const int cell = job.startAt - 1 + static_cast<int>(i);
        if (cell % perSheet == 0) {
            if (cell > 0) page.NewPage();
            if (s.outlines == CellOutlines::CutLines) DrawCutLines(page, s);
        }
        const LtoLabel& label = job.labels[i];
        if (label.serial.empty()) continue;
        const CellCorner c = CornerOf(s, cell % perSheet);
        const std::string value = ShownValue(label);
        kind.print(page, kind, dots.SnapX(c.x), dots.SnapY(c.y),
                   std::u32string(value.begin(), value.end()), style);
    }
}

// The first page's cut lines come before its first label, even when the run
// starts further down the sheet.
void DrawJob(DrawingSurface& page, const LtoJob& job, const DotGrid& dots) {
    page.SetUnitToMillimetres();
    if (job.outlinesOnly) {
        DrawOutlinesPage(page, job.stock);
    } else {
        if (job.startAt > 1 && job.stock.outlines == CellOutlines::CutLines) {
            DrawCutLines(page, job.stock);
        }
        DrawLabels(page, job, dots);
    }
    page.EndDocument();
}

// How close the ink of the labels comes to each edge of the paper.
struct EdgeDistances {
    float left = 1e9f, top = 1e9f, right = 1e9f, bottom = 1e9f;
};

EdgeDistances InkDistances(const LtoJob& job, const Paper& paper, const AlignmentOffset& offset,
                           const DotGrid& dots) {
    const SheetLayout& s = job.stock;
    EdgeDistances d;
    for (std::size_t i = 0; i < job.labels.size(); ++i) {
        const std::size_t length = job.labels[i].serial.size() + job.labels[i].mediaId.size();
        if (job.labels[i].serial.empty()) continue;
        const int cell = (job.startAt - 1 + static_cast<int>(i)) % LabelsPerSheet(s);
        const CellCorner c = CornerOf(s, cell);
        const LtoInk ink = LtoInkIn(s.labelWidth, s.labelHeight, length, dots);
        d.left = std::min(d.left, c.x + offset.x + ink.left);
        d.top = std::min(d.top, c.y + offset.y + ink.top);
        d.right = std::min(d.right, paper.width - (c.x + offset.x + ink.right));
        d.bottom = std::min(d.bottom, paper.height - (c.y + offset.y + ink.bottom));
    }
    return d;
}

std::string Mm(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f mm", value);
    return text;
}

Outcome<Done> CheckMargins(const LtoJob& job, const Paper& paper, const Margins& margins,
                           const AlignmentOffset& offset, const DotGrid& dots) {
    const EdgeDistances d = InkDistances(job, paper, offset, dots);
    const struct {
        const char* edge;
        float ink;
        float margin;
    } edges[] = {{"left", d.left, margins.left},
                 {"top", d.top, margins.top},
                 {"right", d.right, margins.right},
                 {"bottom", d.bottom, margins.bottom}};
    for (const auto& e : edges) {
        if (e.ink < e.margin) {
            return Fail("The labels would print " + Mm(e.ink) + " from the " + e.edge +
                        " edge of the paper, inside the " + Mm(e.margin) +
                        " there that the printer cannot print on. Check the alignment offset "
                        "or the layout; nothing was made.");
        }
    }
    return Done{};
}

// Whole dots that make the bars finer than nominal, said after the summary.
std::string FinerBars(const LtoJob& job) {
    const DotGrid dots = DotGridOf(job.dotsPerInch, 0.0f, 0.0f);
    if (!dots.Known()) return {};
    const BarWidths bars = LtoBarWidths(job.stock.labelWidth, dots);
    if (bars.narrow + 0.001f >= kLtoNarrow) return {};
    char text[256];
    std::snprintf(text, sizeof text,
                  "; narrow bars %.3f mm (%d dots at %d dpi), finer than the 0.423 mm the "
                  "libraries ask for, so that the symbol fits the %g mm label",
                  bars.narrow, dots.DotsIn(bars.narrow), job.dotsPerInch, job.stock.labelWidth);
    return text;
}

}  // namespace

Outcome<LtoPlan> PlanLtoJob(const LtoJob& job) {
    if (auto layout = CheckLayout(job.stock); !layout) return layout.Failed();
    const Paper paper = *PaperNamed(job.stock.paper);
    const int perSheet = LabelsPerSheet(job.stock);
    if (job.startAt < 1 || job.startAt > perSheet) {
        return Fail("Start at label " + std::to_string(job.startAt) +
                    " is beyond the sheet: it has " + Counted(perSheet, "label", "labels") +
                    ", so start at 1 to " + std::to_string(perSheet) + ".");
    }
    if (job.outlinesOnly)
        return LtoPlan{0, 1, job.startAt, "The label outlines on 1 sheet", job, paper};
    if (auto labels = CheckLabels(job.labels); !labels) return labels.Failed();
    const auto printed = static_cast<int>(std::count_if(
        job.labels.begin(), job.labels.end(), [](const LtoLabel& l) { return !l.serial.empty(); }));
    if (printed == 0) return Fail("There are no labels to print.");
    const int cells = job.startAt - 1 + static_cast<int>(job.labels.size());
    const int sheets = (cells + perSheet - 1) / perSheet;
    return LtoPlan{printed,
                   sheets,
                   cells % perSheet + 1,
                   Summary(job.labels, printed, sheets) + FinerBars(job),
                   job,
                   paper};
}

Outcome<QByteArray> MakeLtoPdf(const LtoPlan& plan, const PagePlacement& placement) {
    const LtoJob& job = plan.job;
    const AlignmentOffset& offset = placement.offset;
    const DotGrid dots = DotGridOf(placement.dotsPerInch, -offset.x, -offset.y);
    if (!job.outlinesOnly) {
        if (auto margins = CheckMargins(job, plan.paper, placement.paper.margins, offset, dots);
            !margins)
            return margins.Failed();
    }
    const QString title =
        job.outlinesOnly ? QStringLiteral("LTO label outlines") : QStringLiteral("LTO labels");
    return MakePagePdf(plan.paper, QPointF(offset.x, offset.y), title,
                       [&job, &dots](DrawingSurface& page) { DrawJob(page, job, dots); });
}

}  // namespace linomark
