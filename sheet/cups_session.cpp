#include "sheet/cups_session.h"

#include <algorithm>
#include <array>
#include <cstdlib>
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

float Millimetres(int hundredths) { return static_cast<float>(hundredths) / 100.0f; }

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
    return FailWith(QStringLiteral("No default printer is set up. Add a printer in the system's "
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

// A class passes each job to one of its members, so the sheet must fit the
// paper of any; it is made for the first member's. (Members that agree give
// the same; members that differ cannot all be met.) Offsets stay kept under
// the class's name.
void CupsSession::UseFirstMembersPaper() {
    const char* type = cupsGetOption("printer-type", dest->num_options, dest->options);
    if (!type || !(std::atoi(type) & CUPS_PRINTER_CLASS) ||
        cupsGetDestMediaCount(http, dest, info, CUPS_MEDIA_FLAGS_DEFAULT) > 0)
        return;
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 cupsGetOption("printer-uri-supported", dest->num_options, dest->options));
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "member-names");
    ipp_t* response = cupsDoRequest(http, request, "/");
    ipp_attribute_t* names = ippFindAttribute(response, "member-names", IPP_TAG_NAME);
    const char* first = names ? ippGetString(names, 0, nullptr) : nullptr;
    member = first ? cupsGetNamedDest(http, first, nullptr) : nullptr;
    ippDelete(response);
    memberInfo = member ? cupsCopyDestInfo(http, member) : nullptr;
}

QString CupsSession::QueueName() const { return dest ? QString::fromUtf8(dest->name) : QString(); }

// The printer's default media, as it reports it over IPP; a queue with a
// driver reports the paper it was set up with, a raw queue reports none.
std::string CupsSession::PaperNameFromPrinter() const {
    for (const char* option : {"media", "PageSize"}) {
        if (const char* name = cupsGetOption(option, dest->num_options, dest->options)) return name;
    }
    ipp_attribute_t* media = memberInfo ? cupsFindDestDefault(http, member, memberInfo, "media")
                                        : cupsFindDestDefault(http, dest, info, "media");
    const char* name = media ? ippGetString(media, 0, nullptr) : nullptr;
    return name ? name : "";
}

// The margins of a paper the printer lists; none for a paper it does not
// list. A printer that lists no paper at all (a raw queue) takes any, with
// no margins.
std::optional<Margins> CupsSession::ListedMargins(const Paper& paper) const {
    cups_dest_t* printer = memberInfo ? member : dest;
    cups_dinfo_t* facts = memberInfo ? memberInfo : info;
    cups_size_t size{};
    if (cupsGetDestMediaByName(http, printer, facts, paper.name.c_str(), CUPS_MEDIA_FLAGS_DEFAULT,
                               &size)) {
        return SaneMargins({Millimetres(size.left), Millimetres(size.top),
                            Millimetres(size.right), Millimetres(size.bottom)});
    }
    if (cupsGetDestMediaCount(http, printer, facts, CUPS_MEDIA_FLAGS_DEFAULT) == 0) return Margins{};
    return std::nullopt;
}

Outcome<Paper> CupsSession::PrinterPaper(const std::optional<Paper>& wanted) const {
    Paper paper = wanted.value_or(PaperNamed(PaperNameFromPrinter()).value_or(SystemPaper()));
    const std::optional<Margins> margins = ListedMargins(paper);
    if (!margins) {
        const QString printer = QueueName();
        const QString size = QString::fromStdString(PaperDisplayName(paper));
        const QString own = wanted ? QStringLiteral(" The printer's own paper is %1.")
                                         .arg(QString::fromStdString(PaperDisplayName(
                                             PaperNamed(PaperNameFromPrinter())
                                                 .value_or(SystemPaper()))))
                                   : QString();
        return FailWith(QStringLiteral("The printer %1 does not take %2 paper.%3 Nothing was "
                                       "printed. Set its paper (lpoptions -p %1 -o media=A4, or "
                                       "the printer's settings) and try again.")
                            .arg(printer, size, own));
    }
    paper.margins = *margins;
    return paper;
}

bool CupsSession::Colour() const {
    return cupsCheckDestSupported(http, dest, info, CUPS_PRINT_COLOR_MODE,
                                  CUPS_PRINT_COLOR_MODE_COLOR) != 0;
}

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
    count = cupsAddOption("media", paper.name.c_str(), count, &options);
    count = cupsAddOption("print-scaling", "none", count, &options);
    int jobId = 0;
    const ipp_status_t created = cupsCreateDestJob(http, dest, info, &jobId, title, count, options);
    cupsFreeOptions(count, options);
    if (created > IPP_STATUS_OK_EVENTS_COMPLETE || jobId <= 0 || Stopped()) {
        return CancelAfterFailure(jobId);
    }
    return SendDocument(jobId, pdf, title);
}

Outcome<int> CupsSession::SendDocument(int jobId, const QByteArray& pdf, const char* title) {
    if (cupsStartDestDocument(http, dest, info, jobId, title, CUPS_FORMAT_PDF, 0, nullptr, 1) !=
        HTTP_STATUS_CONTINUE) {
        return CancelAfterFailure(jobId);
    }
    for (qsizetype sent = 0; sent < pdf.size(); sent += kPieceBytes) {
        const qsizetype piece = std::min(kPieceBytes, pdf.size() - sent);
        if (cupsWriteRequestData(http, pdf.constData() + sent, static_cast<size_t>(piece)) !=
                HTTP_STATUS_CONTINUE ||
            Stopped()) {
            return CancelAfterFailure(jobId);
        }
    }
    // libcups reports a connection cut before the scheduler's answer as
    // success with no answer read; only an answer read in full counts.
    const ipp_status_t finished = cupsFinishDestDocument(http, dest, info);
    if (finished > IPP_STATUS_OK_EVENTS_COMPLETE || httpGetStatus(http) == HTTP_STATUS_ERROR) {
        return CancelAfterFailure(jobId);
    }
    return jobId;
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
        CupsSession cups(std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                               Clock::now()),
                         stop);
        if (cups.Connect() && (cupsCancelJob2(cups.http, name.constData(), jobId, 0) ==
                                   IPP_STATUS_OK ||
                               cupsLastError() == IPP_STATUS_ERROR_NOT_POSSIBLE ||
                               cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)) {
            return true;
        }
        std::this_thread::sleep_for(kConnectStep);
    }
    return false;
}

Failure CupsSession::StepFailed(const QString& said) const {
    if (timedOut) return Stopped() ? FailWith(QStringLiteral("Printing was cancelled."))
                                   : NoAnswerFailure();
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
    return QStringLiteral("The printer %1 refused the label sheet: %2. If it is stopped or "
                          "rejecting jobs, run cupsenable %1 / cupsaccept %1, or use the printer "
                          "settings, and try again.")
        .arg(printer, LastCupsError());
}

}  // namespace linomark
