#include "sheet/sheet_pages.h"

#include <array>

#include "linomark_config.h"
#include "sheet/alignment_sheet.h"
#include "sheet/page_pdf.h"
#include "system/failure_text.h"

namespace linomark {
namespace {

QString Signed(float millimetres) {
    return (millimetres >= 0.0f ? QStringLiteral("+") : QString()) +
           QString::number(millimetres, 'f', 1);
}

QString Mm(float millimetres) { return QString::number(millimetres, 'f', 1); }

std::u32string AlignmentNote(const QString& queue, const AlignmentOffset& offset) {
    const QString printer = queue.isEmpty() ? QStringLiteral("no printer") : queue;
    return QStringLiteral("%1: offset %2 mm right, %3 mm down")
        .arg(printer, Signed(offset.x), Signed(offset.y))
        .toStdU32String();
}

// A paper smaller than the sheet itself: the printer's paper must change.
Failure PaperTooSmall(const PagePlacement& placement) {
    const QString size = QString::fromStdString(PaperDisplayName(placement.paper));
    if (placement.queue.isEmpty()) {
        return FailWith(QStringLiteral("The system's paper is %1; the label sheet needs A4 or "
                                       "Letter paper. Set PAPERSIZE or /etc/papersize to a4 and "
                                       "try again.")
                            .arg(size));
    }
    return FailWith(QStringLiteral("The printer %1 uses %2 paper; the label sheet needs A4 or "
                                   "Letter paper. Set the printer to A4 or Letter (lpoptions -p %1 "
                                   "-o media=A4, or the printer's settings) and try again.")
                        .arg(placement.queue, size));
}

// One direction of the page: the sheet's origin is the near margin moved by
// the offset; its ink lies from inkStart to inkEnd beyond that origin.
struct Axis {
    const char* nearEdge;
    const char* farEdge;
    const char* moved;
    float paper;
    float nearMargin;
    float farMargin;
    float offset;
    float inkStart;
    float inkEnd;
};

QString Because(const Axis& axis) {
    QString cause = QStringLiteral(" It is placed from the %1 mm %2 margin")
                        .arg(Mm(axis.nearMargin), QLatin1String(axis.nearEdge));
    if (axis.offset != 0.0f) {
        cause += QStringLiteral(", moved %1 mm %2 by the alignment offset")
                     .arg(Signed(axis.offset), QLatin1String(axis.moved));
    }
    return cause + QStringLiteral(".");
}

// Where the sheet leaves the printable area along one axis, if it does.
std::optional<QString> Overrun(const Axis& a) {
    const float start = a.nearMargin + a.offset + a.inkStart;
    const float end = a.nearMargin + a.offset + a.inkEnd;
    const auto edge = [](const char* which) { return QLatin1String(which); };
    if (end > a.paper)
        return QStringLiteral("reach %1 mm past the %2 edge of the paper.")
                   .arg(Mm(end - a.paper), edge(a.farEdge)) +
               Because(a);
    if (end > a.paper - a.farMargin)
        return QStringLiteral("reach %1 mm into the %2 mm %3 margin the printer cannot print on.")
                   .arg(Mm(end - (a.paper - a.farMargin)), Mm(a.farMargin), edge(a.farEdge)) +
               Because(a);
    if (start < 0.0f)
        return QStringLiteral("reach %1 mm past the %2 edge of the paper.")
                   .arg(Mm(-start), edge(a.nearEdge)) +
               Because(a);
    if (start < a.nearMargin)
        return QStringLiteral("reach %1 mm into the %2 mm %3 margin the printer cannot print on.")
                   .arg(Mm(a.nearMargin - start), Mm(a.nearMargin), edge(a.nearEdge)) +
               Because(a);
    return std::nullopt;
}

}  // namespace

Outcome<Done> CheckSheetLanding(const PagePlacement& placement, LabelType labelType) {
    const SheetExtent sheet = SheetExtentOf(labelType);
    const Paper& paper = placement.paper;
    if (sheet.width > paper.width || sheet.height > paper.height) return PaperTooSmall(placement);
    const Margins& m = paper.margins;
    const std::array<Axis, 2> axes{Axis{"left", "right", "right", paper.width, m.left, m.right,
                                        placement.offset.x, sheet.left, sheet.width},
                                   Axis{"top", "bottom", "down", paper.height, m.top, m.bottom,
                                        placement.offset.y, sheet.top, sheet.height}};
    for (const Axis& axis : axes) {
        if (const auto overrun = Overrun(axis)) {
            const QString printer = placement.queue.isEmpty()
                                        ? QString()
                                        : QStringLiteral(" on the printer %1").arg(placement.queue);
            return FailWith(QStringLiteral("The label sheet%1 would %2 Nothing was printed.")
                                .arg(printer, *overrun));
        }
    }
    return Done{};
}

QString SheetJobTitle(const SheetRequest& request) {
    return QString::fromUtf8(kProgramTitle) + (request.alignmentSheet
                                                   ? QStringLiteral(" alignment sheet")
                                                   : QStringLiteral(" label sheet"));
}

Outcome<QByteArray> MakeSheetPdf(const SheetRequest& request, const PagePlacement& placement) {
    if (auto lands = CheckSheetLanding(placement, request.labelType); !lands) {
        return lands.Failed();
    }
    const Paper& paper = placement.paper;
    const QPointF origin(paper.margins.left + placement.offset.x,
                         paper.margins.top + placement.offset.y);
    const float printableRight = paper.width - paper.margins.right - static_cast<float>(origin.x());
    // The printer counts its dots from the paper's corner, which lies at
    // minus the origin from where the page draws.
    const WindowPage sheet(request.labelType,
                           DotGridOf(placement.dotsPerInch, -static_cast<float>(origin.x()),
                                     -static_cast<float>(origin.y())));
    const Outcome<Done> fit = request.alignmentSheet
                                  ? Outcome<Done>(Done{})
                                  : CheckLabelsFit(sheet, request.columnLists, printableRight);
    if (!fit) return fit.Failed();
    const std::u32string note = AlignmentNote(placement.queue, placement.offset);
    const LabelPoint onPaper{static_cast<float>(origin.x()), static_cast<float>(origin.y())};
    return MakePagePdf(paper, origin, SheetJobTitle(request), [&](DrawingSurface& page) {
        if (request.alignmentSheet) {
            PrintAlignmentSheet(page, sheet, note, paper, onPaper);
        } else {
            PrintSheet(page, sheet, request.columnLists);
        }
    });
}

}  // namespace linomark
