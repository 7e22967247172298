#include "print/cups_session.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <string_view>
#include <thread>

#include "system/failure_text.h"
#include "print/print_faults.h"

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

// Whether the server answers a plain IPP question in IPP, whatever the
// answer; a web server or a service of another kind does not.
bool SpeaksIpp(http_t* http) {
    ipp_t* response = cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    const bool ipp = response != nullptr;
    ippDelete(response);
    return ipp;
}

}  // namespace

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
            return Failed(PrintFault::NotRunning, {ServerName()});
        }
    }
    return Failed(PrintFault::NoAnswer, {ServerName()});
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
        return Failed(PrintFault::NotAPrintingService, {ServerName()});
    }
    if (lookup != IPP_STATUS_ERROR_NOT_FOUND) {
        return StepFailed(Said(PrintFault::LookupFailed, {ServerName(), lookupError}));
    }
    if (!queue.isEmpty()) {
        return Failed(PrintFault::NoSuchPrinter, {queue, ServerName()});
    }
    return Failed(PrintFault::NoDefaultPrinter);
}

Outcome<Done> CupsSession::ReadPrinterInfo() {
    info = cupsCopyDestInfo(http, dest);
    if (info) {
        UseFirstMembersPaper();
        return Done{};
    }
    return StepFailed(Said(PrintFault::NoPaperInfo, {QueueName(), LastCupsError()}));
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
    const qint64 asked = static_cast<qint64>(std::time(nullptr));
    const ipp_status_t created = cupsCreateDestJob(http, dest, info, &jobId, title, count, options);
    cupsFreeOptions(count, options);
    if (jobId <= 0 && Unanswered(created)) {
        leftBehind = LeftJob{QueueName(), 0, QString::fromUtf8(title), asked, ServerName()};
    }
    const bool sent = created <= IPP_STATUS_OK_EVENTS_COMPLETE && jobId > 0 && !Stopped() &&
                      SendDocument(jobId, pdf, title);
    if (!sent) return CancelAfterFailure(jobId);
    return jobId;
}

// A request that met no answer, or a cut connection, may have reached the
// scheduler all the same; a refusal in IPP did not make a job.
bool CupsSession::Unanswered(ipp_status_t status) const {
    return timedOut || httpGetStatus(http) == HTTP_STATUS_ERROR ||
           status <= IPP_STATUS_OK_EVENTS_COMPLETE || status == IPP_STATUS_ERROR_INTERNAL;
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
        if (cupsCancelDestJob(http, dest, jobId) == IPP_STATUS_OK) {
            cancelledJob = jobId;
        } else {
            leftBehind = LeftJob{QueueName(), jobId, {}, 0, ServerName()};
        }
    }
    return FailWith(reason);
}

// An empty job of the user's, made with the title since the Create-Job that
// was not answered: no document of this program went to it.
JobEnd CupsSession::CancelUnnumbered(const LeftJob& job) const {
    const QByteArray name = job.queue.toUtf8();
    const QByteArray title = job.title.toUtf8();
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(http, &jobs, name.constData(), 1, CUPS_WHICHJOBS_ACTIVE);
    JobEnd end = count < 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE ? JobEnd::NoAnswer
                                                                              : JobEnd::Cancelled;
    for (int i = 0; i < count; ++i) {
        const cups_job_t& found = jobs[i];
        if (found.size != 0 || title != found.title || found.creation_time < job.since) continue;
        if (cupsCancelJob2(http, name.constData(), found.id, 0) != IPP_STATUS_OK)
            end = JobEnd::NoAnswer;
    }
    cupsFreeJobs(count, jobs);
    return end;
}

JobEnd CupsSession::CancelLeftJob(const LeftJob& job, Clock::time_point deadline,
                                  const std::atomic<bool>* stop) {
    const QByteArray name = job.queue.toUtf8();
    while (Clock::now() < deadline && !(stop && stop->load())) {
        CupsSession cups(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()), stop);
        if (cups.Connect() && job.id == 0) {
            const JobEnd end = cups.CancelUnnumbered(job);
            if (end != JobEnd::NoAnswer) return end;
        } else if (cups.http) {
            const ipp_status_t cancel = cupsCancelJob2(cups.http, name.constData(), job.id, 0);
            if (cancel == IPP_STATUS_OK) return JobEnd::Cancelled;
            if (cancel == IPP_STATUS_ERROR_NOT_POSSIBLE || cancel == IPP_STATUS_ERROR_NOT_FOUND)
                return JobEnd::AlreadyEnded;
        }
        std::this_thread::sleep_for(kConnectStep);
    }
    return JobEnd::NoAnswer;
}

Failure CupsSession::StepFailed(const QString& said) const {
    if (timedOut)
        return Stopped() ? Failed(PrintFault::Cancelled)
                         : Failed(PrintFault::NoAnswer, {ServerName()});
    return FailWith(said);
}

// Why a hand-over failed. A connection cut in the middle of it is no
// refusal: libcups then leaves the text of errno ("Success") or, once it has
// cancelled the half-sent job, "successful-ok" as its last error, and a
// transport failure as an internal error with the text of errno.
QString CupsSession::HandOverFailure() const {
    const QString printer = QueueName();
    if (Stopped()) return Said(PrintFault::Cancelled);
    if (timedOut) return Said(PrintFault::NoAnswerInHandOver, {ServerName(), printer});
    if (httpGetStatus(http) == HTTP_STATUS_ERROR ||
        cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        return Said(PrintFault::ConnectionLost, {ServerName(), printer});
    }
    if (cupsLastError() == IPP_STATUS_ERROR_INTERNAL)
        return Said(PrintFault::NotHandedOver, {printer, LastCupsError()});
    return Said(PrintFault::Refused, {printer, LastCupsError()});
}

}  // namespace linomark
