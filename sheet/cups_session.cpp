#include "sheet/cups_session.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace linomark {
namespace {

// How often a wait looks at the deadline: a stopped scheduler is given up
// on at most this long after the deadline.
constexpr double kWaitStepSeconds = 0.25;
// A cancel after a failure gets this much more time of its own.
constexpr auto kCancelPatience = std::chrono::seconds(1);
// The document goes out in pieces, so a stalled scheduler is noticed early.
constexpr qsizetype kPieceBytes = 64 * 1024;

// Options of the user's or the queue's defaults that would move or scale
// the page: the job sets its own placement, so these are not passed on.
constexpr std::array<std::string_view, 13> kPlacementOptions{
    "media",    "PageSize",        "print-scaling", "fit-to-page", "fitplot",
    "scaling",  "natural-scaling", "number-up",     "landscape",   "orientation-requested",
    "position", "mirror",          "page-border"};

bool IsPlacementOption(const char* name) {
    return std::find(kPlacementOptions.begin(), kPlacementOptions.end(), name) !=
           kPlacementOptions.end();
}

QString LastCupsError() { return QString::fromUtf8(cupsLastErrorString()); }

QString ServerName() { return QString::fromUtf8(cupsServer()); }

float Millimetres(int hundredths) { return static_cast<float>(hundredths) / 100.0f; }

}  // namespace

CupsSession::CupsSession(std::chrono::milliseconds patience) : deadline(Clock::now() + patience) {}

CupsSession::~CupsSession() {
    cupsFreeDestInfo(info);
    cupsFreeDests(dest ? 1 : 0, dest);
    httpClose(http);
}

// libcups calls this whenever a wait has lasted one step; 0 gives up.
int CupsSession::KeepWaiting(http_t*, void* session) {
    auto* self = static_cast<CupsSession*>(session);
    if (Clock::now() < self->deadline) return 1;
    self->timedOut = true;
    return 0;
}

// A refused or missing socket fails at once: nothing listens there. A
// connection attempt that outlasts the deadline meets a scheduler that does
// not answer.
QString CupsSession::Connect() {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const int waitMs = static_cast<int>(std::max<std::int64_t>(left.count(), 1));
    http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, waitMs,
                        nullptr);
    if (!http) {
        if (Clock::now() >= deadline) return NoAnswerReason();
        return QStringLiteral(
                   "The printing service at %1 is not running. Start CUPS (the cups package) and "
                   "try again.")
            .arg(ServerName());
    }
    httpSetTimeout(http, kWaitStepSeconds, &CupsSession::KeepWaiting, this);
    return {};
}

// The lookup gives "not found" both when the scheduler has no default and
// when the default it names is gone; either way there is none to print on.
QString CupsSession::FindDefaultPrinter() {
    dest = cupsGetNamedDest(http, nullptr, nullptr);
    if (dest) return {};
    if (timedOut) return NoAnswerReason();
    if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
        return QStringLiteral(
            "No default printer is set up. Add a printer in the system's printer settings and "
            "try again.");
    }
    return QStringLiteral("The default printer cannot be looked up at %1: %2")
        .arg(ServerName(), LastCupsError());
}

QString CupsSession::ReadPrinterInfo() {
    info = cupsCopyDestInfo(http, dest);
    if (info) return {};
    if (timedOut) return NoAnswerReason();
    return QStringLiteral("The printer %1 cannot be asked about its paper: %2")
        .arg(QueueName(), LastCupsError());
}

QString CupsSession::QueueName() const { return dest ? QString::fromUtf8(dest->name) : QString(); }

// The printer's default media, as it reports it over IPP; a queue with a
// driver reports the paper it was set up with, a raw queue reports none.
std::string CupsSession::PaperNameFromPrinter() const {
    for (const char* option : {"media", "PageSize"}) {
        if (const char* name = cupsGetOption(option, dest->num_options, dest->options)) return name;
    }
    ipp_attribute_t* media = cupsFindDestDefault(http, dest, info, "media");
    const char* name = media ? ippGetString(media, 0, nullptr) : nullptr;
    return name ? name : "";
}

Margins CupsSession::PrinterMargins(const Paper& paper) const {
    cups_size_t size{};
    if (!cupsGetDestMediaByName(http, dest, info, paper.name.c_str(), CUPS_MEDIA_FLAGS_DEFAULT,
                                &size)) {
        return {};
    }
    return SaneMargins({Millimetres(size.left), Millimetres(size.top), Millimetres(size.right),
                        Millimetres(size.bottom)});
}

Paper CupsSession::PrinterPaper() const {
    Paper paper = PaperNamed(PaperNameFromPrinter()).value_or(SystemPaper());
    paper.margins = PrinterMargins(paper);
    return paper;
}

QString CupsSession::Submit(const QByteArray& pdf, const Paper& paper, const char* title) {
    cups_option_t* options = nullptr;
    int count = 0;
    for (int i = 0; i < dest->num_options; ++i) {
        const cups_option_t& option = dest->options[i];
        if (!IsPlacementOption(option.name))
            count = cupsAddOption(option.name, option.value, count, &options);
    }
    // The paper, so that a driver prints on it, and print-scaling=none, which
    // cups-filters' pdftopdf and IPP printers honour by placing the page 1:1.
    // (fit-to-page=false is not sent: pdftopdf ignores it beside
    // print-scaling, and alone it still lets an oversized page be shrunk.)
    count = cupsAddOption("media", paper.name.c_str(), count, &options);
    count = cupsAddOption("print-scaling", "none", count, &options);
    int jobId = 0;
    const ipp_status_t created = cupsCreateDestJob(http, dest, info, &jobId, title, count, options);
    cupsFreeOptions(count, options);
    if (created > IPP_STATUS_OK_EVENTS_COMPLETE || jobId <= 0) {
        return CancelAfterFailure(jobId, HandOverFailure());
    }
    return SendDocument(jobId, pdf, title);
}

QString CupsSession::SendDocument(int jobId, const QByteArray& pdf, const char* title) {
    if (cupsStartDestDocument(http, dest, info, jobId, title, CUPS_FORMAT_PDF, 0, nullptr, 1) !=
        HTTP_STATUS_CONTINUE) {
        return CancelAfterFailure(jobId, HandOverFailure());
    }
    for (qsizetype sent = 0; sent < pdf.size(); sent += kPieceBytes) {
        const qsizetype piece = std::min(kPieceBytes, pdf.size() - sent);
        if (cupsWriteRequestData(http, pdf.constData() + sent, static_cast<size_t>(piece)) !=
            HTTP_STATUS_CONTINUE) {
            return CancelAfterFailure(jobId, HandOverFailure());
        }
    }
    // libcups reports a connection cut before the scheduler's answer as
    // success with no answer read; only an answer read in full counts.
    const ipp_status_t finished = cupsFinishDestDocument(http, dest, info);
    if (finished > IPP_STATUS_OK_EVENTS_COMPLETE || httpGetStatus(http) == HTTP_STATUS_ERROR) {
        return CancelAfterFailure(jobId, HandOverFailure());
    }
    return {};
}

// A job the scheduler holds without its whole document must not wait there
// for one, nor print a part of it.
QString CupsSession::CancelAfterFailure(int jobId, const QString& reason) {
    if (jobId > 0) {
        deadline = Clock::now() + kCancelPatience;
        cupsCancelDestJob(http, dest, jobId);
    }
    return reason;
}

QString CupsSession::NoAnswerReason() const {
    return QStringLiteral(
               "The printing service at %1 does not answer. Nothing was printed. Check that CUPS "
               "is running and try again.")
        .arg(ServerName());
}

// Why a hand-over failed. A scheduler that stopped answering is told as
// such. A connection cut in the middle of it is no refusal: libcups then leaves the text of errno
// ("Success") or, once it has cancelled the half-sent job, "successful-ok" as its last error, and a
// transport failure as an internal error with the text of errno.
QString CupsSession::HandOverFailure() const {
    if (timedOut) return NoAnswerReason();
    const QString printer = QueueName();
    if (httpGetStatus(http) == HTTP_STATUS_ERROR ||
        cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        return QStringLiteral(
                   "The connection to the printing service at %1 was lost while the label sheet "
                   "was sent to the printer %2. Check that CUPS is running and try again.")
            .arg(ServerName(), printer);
    }
    if (cupsLastError() == IPP_STATUS_ERROR_INTERNAL) {
        return QStringLiteral(
                   "The label sheet could not be handed over to the printer %1 (%2). Check that "
                   "CUPS is running and try again.")
            .arg(printer, LastCupsError());
    }
    return QStringLiteral("The printer %1 refused the label sheet: %2")
        .arg(printer, LastCupsError());
}

}  // namespace linomark
