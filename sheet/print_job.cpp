// The sheet is drawn into a PDF file in a temporary folder and only a finished
// page is handed to the CUPS scheduler: a run that fails half-way sends
// nothing, and a job the scheduler refuses is reported, never taken for
// printed. CUPS is first contacted here, when the user asks for a print.

#include "sheet/print_job.h"

#include <cups/cups.h>

#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <memory>

#include "drawing/page_surface.h"

namespace linomark {

namespace {

constexpr char kJobTitle[] = "Linomark 1.0 label sheet";
constexpr int kConnectTimeoutMs = 5000;

struct ConnectionCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, ConnectionCloser>;

struct DestinationFreer {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Destination = std::unique_ptr<cups_dest_t, DestinationFreer>;

struct DestinationInfoFreer {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using DestinationInfo = std::unique_ptr<cups_dinfo_t, DestinationInfoFreer>;

PrintResult Failure(const QString& reason) { return {false, reason}; }

QString LastCupsError() { return QString::fromUtf8(cupsLastErrorString()); }

// A connection of our own tells "no scheduler" apart from "no default
// printer": the destination lookup reports both as "No default destination".
Connection ConnectToScheduler() {
    return Connection(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                   kConnectTimeoutMs, nullptr));
}

QString UnreachableReason() {
    return QStringLiteral(
               "The printing service at %1 cannot be reached (%2). Check that CUPS is running "
               "and try again.")
        .arg(QString::fromUtf8(cupsServer()), LastCupsError());
}

QString NoDestinationReason() {
    if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
        return QStringLiteral(
            "No default printer is set up. Add a printer in the system's printer settings and "
            "try again.");
    }
    return QStringLiteral("The default printer cannot be looked up: %1").arg(LastCupsError());
}

// Media names come as PWG self-describing names ("na_letter_8.5x11in",
// "iso_a4_210x297mm") or as the old short names ("Letter", "A4"); a list
// such as "na_letter_8.5x11in,tray-1" names the size first.
bool NamesLetter(const char* media) {
    const QString size = QString::fromUtf8(media).section(QLatin1Char(','), 0, 0).toLower();
    return size == QLatin1String("letter") || size.startsWith(QLatin1String("na_letter_"));
}

// The user's or the queue's "media" option when set, else the printer's own
// default media; Letter when that names Letter, A4 otherwise.
QPageSize PageSizeFor(http_t* http, cups_dest_t* dest) {
    if (const char* media = cupsGetOption("media", dest->num_options, dest->options)) {
        return QPageSize(NamesLetter(media) ? QPageSize::Letter : QPageSize::A4);
    }
    const DestinationInfo info(cupsCopyDestInfo(http, dest));
    cups_size_t size{};
    if (info && cupsGetDestMediaDefault(http, dest, info.get(), 0, &size) &&
        NamesLetter(size.media)) {
        return QPageSize(QPageSize::Letter);
    }
    return QPageSize(QPageSize::A4);
}

// Full page without margins, so millimetres count from the paper's top-left.
void SetUpPdfPrinter(QPrinter& printer, const QString& fileName, const QPageSize& pageSize) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setDocName(QString::fromUtf8(kJobTitle));
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF()));
}

// Returns the reason the page could not be made, or an empty text.
QString DrawSheetToPdf(const QString& fileName, const QPageSize& pageSize, LabelType labelType,
                       const ColumnLists& columnLists) {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, fileName, pageSize);
    // A page left unfinished by a failing step is abandoned with its surface,
    // and its file is never submitted.
    PageSurface page(printer);
    try {
        PrintSheet(page, labelType, columnLists);
    } catch (const SurfaceError& error) {
        return QStringLiteral("The label sheet could not be drawn: %1")
            .arg(QString::fromUtf8(error.what()));
    }
    if (QFileInfo(fileName).size() <= 0) {
        return QStringLiteral("The label sheet could not be written to %1.").arg(fileName);
    }
    return {};
}

// Why a hand-over failed. A connection cut in the middle of it is no refusal:
// libcups then leaves the text of errno ("Success") or, once it has cancelled
// the half-sent job, "successful-ok" as its last error, and a transport
// failure as an internal error with the text of errno ("Broken pipe").
QString HandOverFailure(bool connectionBroke, const cups_dest_t& dest) {
    const QString printer = QString::fromUtf8(dest.name);
    if (connectionBroke || cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        return QStringLiteral(
                   "The connection to the printing service at %1 was lost while the "
                   "label sheet was sent to the printer %2. Check that CUPS is running "
                   "and try again.")
            .arg(QString::fromUtf8(cupsServer()), printer);
    }
    if (cupsLastError() == IPP_STATUS_ERROR_INTERNAL) {
        return QStringLiteral(
                   "The label sheet could not be handed over to the printer %1 (%2). "
                   "Check that CUPS is running and try again.")
            .arg(printer, LastCupsError());
    }
    return QStringLiteral("The printer %1 refused the label sheet: %2")
        .arg(printer, LastCupsError());
}

// libcups takes the document for delivered when the connection breaks before
// the scheduler's answer to it is read; the job would wait at the scheduler
// without its document. It is cancelled, and the print reported as failed.
PrintResult Submit(http_t* http, const cups_dest_t& dest, const QString& fileName) {
    const int jobId = cupsPrintFile2(http, dest.name, QFile::encodeName(fileName).constData(),
                                     kJobTitle, dest.num_options, dest.options);
    const bool connectionBroke = httpGetStatus(http) == HTTP_STATUS_ERROR;
    if (jobId != 0 && !connectionBroke) {
        return {true, {}};
    }
    if (jobId != 0) {
        cupsCancelJob2(http, dest.name, jobId, 0);
    }
    return Failure(HandOverFailure(connectionBroke, dest));
}

}  // namespace

PrintResult PrintSheetOnDefaultPrinter(LabelType labelType, const ColumnLists& columnLists) {
    const Connection http = ConnectToScheduler();
    if (!http) {
        return Failure(UnreachableReason());
    }
    const Destination dest(cupsGetNamedDest(http.get(), nullptr, nullptr));
    if (!dest) {
        return Failure(NoDestinationReason());
    }
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        return Failure(QStringLiteral("No temporary folder for the label sheet: %1")
                           .arg(folder.errorString()));
    }
    const QString fileName = folder.filePath(QStringLiteral("label-sheet.pdf"));
    const QString problem =
        DrawSheetToPdf(fileName, PageSizeFor(http.get(), dest.get()), labelType, columnLists);
    if (!problem.isEmpty()) {
        return Failure(problem);
    }
    return Submit(http.get(), *dest, fileName);
}

}  // namespace linomark
