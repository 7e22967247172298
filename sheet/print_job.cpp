#include "sheet/print_job.h"

#include <QSaveFile>
#include <chrono>

#include "linomark_config.h"
#include "sheet/alignment_sheet.h"
#include "sheet/cups_session.h"
#include "sheet/page_pdf.h"

namespace linomark {
namespace {

using namespace std::chrono_literals;

// The hand-over waits at most this long for the scheduler, and a cancel
// after it one second more: about ten seconds in all.
constexpr auto kPrintPatience = 9s;
// A question that only names the printer must not hold the window up.
constexpr auto kQuestionPatience = 2s;

QString JobTitle(const SheetRequest& request) {
    return QString::fromUtf8(kProgramTitle) + (request.alignmentSheet
                                                   ? QStringLiteral(" alignment sheet")
                                                   : QStringLiteral(" label sheet"));
}

QString Signed(float millimetres) {
    return (millimetres >= 0.0f ? QStringLiteral("+") : QString()) +
           QString::number(millimetres, 'f', 1);
}

std::u32string AlignmentNote(const QString& queue, const AlignmentOffset& offset) {
    const QString printer = queue.isEmpty() ? QStringLiteral("no printer") : queue;
    return QStringLiteral("%1: offset %2 mm right, %3 mm down")
        .arg(printer, Signed(offset.x), Signed(offset.y))
        .toStdU32String();
}

QString WrongPaperReason(const Paper& paper) {
    return QStringLiteral(
               "The default printer uses %1 paper; the label sheet needs A4 or Letter paper. Set "
               "the printer to A4 or Letter and try again.")
        .arg(QString::fromStdString(PaperDisplayName(paper)));
}

struct PrinterAnswer {
    QString queue;
    Paper paper;
    QString reason;
};

// Who the default printer is and what it prints on, each step only after
// the one before it succeeded.
PrinterAnswer AskDefaultPrinter(CupsSession& cups) {
    QString reason = cups.Connect();
    if (reason.isEmpty()) reason = cups.FindDefaultPrinter();
    if (reason.isEmpty()) reason = cups.ReadPrinterInfo();
    if (!reason.isEmpty()) return {{}, {}, reason};
    return {cups.QueueName(), cups.PrinterPaper(), {}};
}

// The page of a request on the printer's paper, drawn from the printable
// area's corner moved by the queue's alignment offset; no page at all on a
// paper the sheet does not fit, or with a label too long for its place.
PagePdf MakeRequestPdf(const SheetRequest& request, const PrinterAnswer& printer,
                       const AlignmentOffset& offset) {
    const Paper& paper = printer.paper;
    if (!SheetFits(paper, request.labelType)) return {{}, WrongPaperReason(paper)};
    const QPointF origin(paper.margins.left + offset.x, paper.margins.top + offset.y);
    const float printableRight = paper.width - paper.margins.right - static_cast<float>(origin.x());
    const Outcome<Done> fit =
        request.alignmentSheet
            ? Outcome<Done>(Done{})
            : CheckLabelsFit(request.labelType, request.columnLists, printableRight);
    if (!fit) return {{}, QString::fromStdString(fit.Reason())};
    const std::u32string note = AlignmentNote(printer.queue, offset);
    const LabelPoint onPaper{static_cast<float>(origin.x()), static_cast<float>(origin.y())};
    return MakePagePdf(paper, origin, JobTitle(request), [&](DrawingSurface& page) {
        if (request.alignmentSheet) {
            PrintAlignmentSheet(page, request.labelType, note, paper, onPaper);
        } else {
            PrintSheet(page, request.labelType, request.columnLists);
        }
    });
}

// Unbuffered writes, each until one fails: a disk that runs full fails the
// write itself, with its reason. (A buffered QSaveFile lost that error and
// committed the part that fitted.)
bool WriteWhole(QSaveFile& file, const QByteArray& bytes) {
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 piece = file.write(bytes.constData() + written, bytes.size() - written);
        if (piece <= 0) return false;
        written += piece;
    }
    return true;
}

}  // namespace

PrintResult PrintOnDefaultPrinter(const SheetRequest& request, const OffsetOfQueue& offsetOf) {
    CupsSession cups(kPrintPatience);
    const PrinterAnswer printer = AskDefaultPrinter(cups);
    if (!printer.reason.isEmpty()) return {false, printer.reason};
    const PagePdf page = MakeRequestPdf(request, printer, offsetOf(printer.queue));
    if (page.pdf.isEmpty()) return {false, page.reason};
    const QString reason = cups.Submit(page.pdf, printer.paper, qUtf8Printable(JobTitle(request)));
    return {reason.isEmpty(), reason};
}

PrintResult SaveSheetAsPdf(const SheetRequest& request, const OffsetOfQueue& offsetOf,
                           const QString& fileName) {
    CupsSession cups(kPrintPatience);
    PrinterAnswer printer = AskDefaultPrinter(cups);
    if (!printer.reason.isEmpty()) printer = {{}, SystemPaper(), {}};
    const AlignmentOffset offset =
        printer.queue.isEmpty() ? AlignmentOffset{} : offsetOf(printer.queue);
    const PagePdf page = MakeRequestPdf(request, printer, offset);
    if (page.pdf.isEmpty()) return {false, page.reason};
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !WriteWhole(file, page.pdf) ||
        !file.commit()) {
        return {false, QStringLiteral("The label sheet could not be saved as %1: %2")
                           .arg(fileName, file.errorString())};
    }
    return {true, {}};
}

QString DefaultPrinterName() {
    CupsSession cups(kQuestionPatience);
    if (!cups.Connect().isEmpty() || !cups.FindDefaultPrinter().isEmpty()) return {};
    return cups.QueueName();
}

}  // namespace linomark
