#include "print/cups_session.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <thread>

namespace linomark {
namespace {

// How often a wait looks at the deadline and the stop flag: a stopped
// scheduler is given up on at most this long after either.
constexpr double kWaitStepSeconds = 0.1;
// A cancel after a failure gets this much more time of its own; it fits in
// the second a shut-down may take.
constexpr auto kCancelPatience = std::chrono::milliseconds(700);
// A connection attempt longer than this met no refusal: nobody answered.
constexpr auto kConnectStep = std::chrono::milliseconds(200);
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

Failure FailWith(const QString& reason) { return Fail(reason.toStdString()); }

// Whether the server answers a plain IPP question in IPP, whatever the
// answer; a web server or a service of another kind does not.
bool SpeaksIpp(http_t* http) {
    ipp_t* response = cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    const bool ipp = response != nullptr;
    ippDelete(response);
    return ipp;
}

}  // namespace

Failure NoAnswerFailure() {
    return FailWith(QStringLiteral("The printing service at %1 does not answer. Nothing was "
                                   "printed. Check that CUPS is running and try again.")
                        .arg(ServerName()));
}

CupsSession::CupsSession(std::chrono::milliseconds patience, const std::atomic<bool>* stop)
    : deadline(Clock::now() + patience), stop(stop) {}

CupsSession::~CupsSession() {
    cupsFreeDestInfo(memberInfo);
    cupsFreeDests(member ? 1 : 0, member);
    cupsFreeDestInfo(info);
    cupsFreeDests(dest ? 1 : 0, dest);
    httpClose(http);
}

bool CupsSession::Stopped() const { return stop && stop->load(); }

// libcups calls this whenever a wait has lasted one step; 0 gives up. A
// cancel runs to its own deadline even once the stop flag is up.
int CupsSession::KeepWaiting(http_t*, void* session) {
    auto* self = static_cast<CupsSession*>(session);
    if (Clock::now() < self->deadline && (self->cancelling || !self->Stopped())) return 1;
    self->timedOut = true;
    return 0;
}

// A refused or missing socket fails at once: nothing listens there. Attempts
// that each outlast a step, until the deadline, meet a scheduler that does
// not answer.
Outcome<Done> CupsSession::Connect() {
    while (Clock::now() < deadline && !Stopped()) {
        const auto started = Clock::now();
        http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                            static_cast<int>(kConnectStep.count()), nullptr);
        if (http) {
            httpSetTimeout(http, kWaitStepSeconds, &CupsSession::KeepWaiting, this);
            return Done{};
        }
        if (Clock::now() - started < kConnectStep) {
            return FailWith(QStringLiteral("The printing service at %1 is not running. Start "
                                           "CUPS (the cups package) and try again.")
                                .arg(ServerName()));
        }
    }
    return NoAnswerFailure();
}

// The lookup gives "not found" both when the scheduler has no default and
// when the default it names is gone; either way there is none to print on.
Outcome<Done> CupsSession::FindPrinter(const QString& queue) {
    const QByteArray name = queue.toUtf8();
    dest = cupsGetNamedDest(http, queue.isEmpty() ? nullptr : name.constData(), nullptr);
    if (dest) return Done{};
    if (timedOut) return StepFailed({});
    const ipp_status_t lookup = cupsLastError();
    const QString lookupError = LastCupsError();
    if (!SpeaksIpp(http)) {
        if (timedOut) return StepFailed({});
        return FailWith(QStringLiteral("The server at %1 does not answer as a printing service. "
                                       "Check the printing server's address (CUPS_SERVER or "
                                       "client.conf) and try again.")
                            .arg(ServerName()));
    }
    if (lookup != IPP_STATUS_ERROR_NOT_FOUND) {
        return StepFailed(QStringLiteral("The printer cannot be looked up at %1: %2")
                              .arg(ServerName(), lookupError));
    }
    if (!queue.isEmpty()) {
        return FailWith(QStringLiteral("There is no printer %1 at %2.").arg(queue, ServerName()));
    }
    return FailWith(
        QStringLiteral("No default printer is set up. Add a printer in the system's "
                       "printer settings and try again."));
}

Outcome<Done> CupsSession::ReadPrinterInfo() {
    info = cupsCopyDestInfo(http, dest);
    if (info) {
        UseFirstMembersPaper();
        return Done{};
    }
    return StepFailed(QStringLiteral("The printer %1 cannot be asked about its paper: %2")
                          .arg(QueueName(), LastCupsError()));
}

QString CupsSession::QueueName() const { return dest ? QString::fromUtf8(dest->name) : QString(); }

Outcome<int> CupsSession::Submit(const QByteArray& pdf, const Paper& paper, const char* title) {
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
    count = cupsAddOption("media", MediaOfPage(paper).c_str(), count, &options);
    count = cupsAddOption("print-scaling", "none", count, &options);
    int jobId = 0;
    const ipp_status_t created = cupsCreateDestJob(http, dest, info, &jobId, title, count, options);
    cupsFreeOptions(count, options);
    const bool sent = created <= IPP_STATUS_OK_EVENTS_COMPLETE && jobId > 0 && !Stopped() &&
                      SendDocument(jobId, pdf, title);
    if (!sent) return CancelAfterFailure(jobId);
    return jobId;
}

// Each step only after the one before it went through; the stop flag is
// looked at between the pieces too.
bool CupsSession::SendDocument(int jobId, const QByteArray& pdf, const char* title) {
    if (cupsStartDestDocument(http, dest, info, jobId, title, CUPS_FORMAT_PDF, 0, nullptr, 1) !=
        HTTP_STATUS_CONTINUE) {
        return false;
    }
    for (qsizetype sent = 0; sent < pdf.size(); sent += kPieceBytes) {
        const qsizetype piece = std::min(kPieceBytes, pdf.size() - sent);
        if (cupsWriteRequestData(http, pdf.constData() + sent, static_cast<size_t>(piece)) !=
                HTTP_STATUS_CONTINUE ||
            Stopped()) {
            return false;
        }
    }
    // libcups reports a connection cut before the scheduler's answer as
    // success with no answer read; only an answer read in full counts.
    const ipp_status_t finished = cupsFinishDestDocument(http, dest, info);
    return finished <= IPP_STATUS_OK_EVENTS_COMPLETE && httpGetStatus(http) != HTTP_STATUS_ERROR;
}

// A job the scheduler holds without its whole document must not wait there
// for one, nor print a part of it. The reason is read before the cancel
// overwrites CUPS's last error.
Failure CupsSession::CancelAfterFailure(int jobId) {
    const QString reason = HandOverFailure();
    if (jobId > 0) {
        deadline = Clock::now() + kCancelPatience;
        cancelling = true;
        if (cupsCancelDestJob(http, dest, jobId) != IPP_STATUS_OK) jobLeftBehind = jobId;
    }
    return FailWith(reason);
}

bool CupsSession::CancelLeftJob(const QString& queue, int jobId, Clock::time_point deadline,
                                const std::atomic<bool>* stop) {
    const QByteArray name = queue.toUtf8();
    while (Clock::now() < deadline && !(stop && stop->load())) {
        CupsSession cups(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()), stop);
        if (cups.Connect() &&
            (cupsCancelJob2(cups.http, name.constData(), jobId, 0) == IPP_STATUS_OK ||
             cupsLastError() == IPP_STATUS_ERROR_NOT_POSSIBLE ||
             cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)) {
            return true;
        }
        std::this_thread::sleep_for(kConnectStep);
    }
    return false;
}

Failure CupsSession::StepFailed(const QString& said) const {
    if (timedOut)
        return Stopped() ? FailWith(QStringLiteral("Printing was cancelled.")) : NoAnswerFailure();
    return FailWith(said);
}

// Why a hand-over failed. A connection cut in the middle of it is no
// refusal: libcups then leaves the text of errno ("Success") or, once it has
// cancelled the half-sent job, "successful-ok" as its last error, and a
// transport failure as an internal error with the text of errno.
QString CupsSession::HandOverFailure() const {
    const QString printer = QueueName();
    if (timedOut || Stopped()) {
        return QString::fromStdString(StepFailed({}).reason);
    }
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
    return QStringLiteral(
               "The printer %1 refused the label sheet: %2. If it is stopped or "
               "rejecting jobs, run cupsenable %1 / cupsaccept %1, or use the printer "
               "settings, and try again.")
        .arg(printer, LastCupsError());
}

}  // namespace linomark
