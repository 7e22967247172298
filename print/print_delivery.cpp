#include "print/print_delivery.h"

#include <sys/stat.h>

#include <QFile>
#include <QSaveFile>
#include <chrono>

#include "print/cups_session.h"

namespace linomark {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The hand-over waits at most this long for the scheduler, and a cancel
// after it a little more: about ten seconds in all, the bound within which
// a job left behind by a restarted scheduler is still cancelled.
constexpr auto kPrintPatience = 9s;
constexpr auto kPrintBound = 10s;
// A question that only describes the printer is answered sooner.
constexpr auto kQuestionPatience = 3s;

Failure FailWith(const QString& reason) { return Fail(reason.toStdString()); }

// Connects and finds the printer and what it can do, each step only after
// the one before it succeeded.
Outcome<Done> AskPrinter(CupsSession& cups, const QString& queue) {
    if (auto connected = cups.Connect(); !connected) return connected;
    if (auto found = cups.FindPrinter(queue); !found) return found;
    return cups.ReadPrinterInfo();
}

AlignmentOffset OffsetOf(const OffsetsByQueue& offsets, const QString& queue) {
    const auto kept = offsets.find(queue);
    return kept == offsets.end() ? AlignmentOffset{} : kept->second;
}

// The placement on the printer the session has already asked about.
Outcome<PagePlacement> PlaceOnAskedPrinter(const CupsSession& cups, const PrintRequest& request) {
    Outcome<Paper> paper = cups.PrinterPaper(request.paper);
    if (!paper) return Fail(paper.Reason());
    return PagePlacement{paper.Value(), cups.QueueName(),
                         OffsetOf(request.offsets, cups.QueueName()), cups.Resolution()};
}

Outcome<PagePlacement> PlaceOnPrinter(CupsSession& cups, const QString& queue,
                                      const PrintRequest& request) {
    if (auto asked = AskPrinter(cups, queue); !asked) return Fail(asked.Reason());
    return PlaceOnAskedPrinter(cups, request);
}

// A file is made for the printer it would print on; with no printer to ask,
// on the wanted or the system's paper, without margins or offset.
Outcome<PagePlacement> PlaceForFile(CupsSession& cups, const PrintRequest& request) {
    const QString& queue = request.target.queue;
    Outcome<PagePlacement> placement =
        PagePlacement{request.paper.value_or(SystemPaper()), {}, {}, 0};
    if (!queue.isEmpty()) {
        placement = PlaceOnPrinter(cups, queue, request);
    } else if (AskPrinter(cups, queue)) {  // the default printer, asked once
        placement = PlaceOnAskedPrinter(cups, request);
    }
    if (placement && request.dotsPerInch > 0) placement.Value().dotsPerInch = request.dotsPerInch;
    return placement;
}

// Only a new file, a regular file or a link to one is written: writing over
// a FIFO, a device or a folder would replace it with a file.
Outcome<Done> CheckFileTarget(const QString& fileName) {
    struct stat status {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return Done{};
    const QString what = S_ISDIR(status.st_mode)    ? QStringLiteral("a folder")
                         : S_ISFIFO(status.st_mode) ? QStringLiteral("a FIFO (named pipe)")
                         : S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)
                             ? QStringLiteral("a device")
                             : QStringLiteral("no regular file");
    return FailWith(
        QStringLiteral("%1 is %2, not a file; it was left as it is. Choose another name "
                       "and try again.")
            .arg(fileName, what));
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

// The file appears whole under its name, or not at all.
Outcome<PrintReceipt> WriteFile(const QString& fileName, const QByteArray& pdf) {
    if (auto target = CheckFileTarget(fileName); !target) return Fail(target.Reason());
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !WriteWhole(file, pdf) ||
        !file.commit()) {
        return FailWith(QStringLiteral("The label sheet could not be saved as %1: %2")
                            .arg(fileName, file.errorString()));
    }
    return PrintReceipt{{}, 0, fileName};
}

// Jobs an earlier hand-over left behind go first; those the scheduler still
// does not let go of are kept for the next print.
void CancelLeftJobs(LeftJobs& left, Clock::time_point until, const std::atomic<bool>& stop) {
    std::erase_if(left, [&](const LeftJob& job) {
        return CupsSession::CancelLeftJob(job.queue, job.id, until, &stop);
    });
}

Outcome<PrintReceipt> SendToPrinter(CupsSession& cups, const PagePlacement& placement,
                                    const QByteArray& pdf, const PrintRequest& request,
                                    LeftJobs& left, Clock::time_point bound,
                                    const std::atomic<bool>& stop) {
    const Outcome<int> job = cups.Submit(pdf, placement.paper, qUtf8Printable(request.title));
    if (job) return PrintReceipt{placement.queue, job.Value(), {}};
    if (cups.JobLeftBehind() > 0) {
        left.push_back({placement.queue, cups.JobLeftBehind()});
        CancelLeftJobs(left, bound, stop);
    }
    return Fail(job.Reason());
}

}  // namespace

Outcome<PrintReceipt> Deliver(const PrintRequest& request, const std::atomic<bool>& stop,
                              LeftJobs& left) {
    const auto bound = Clock::now() + kPrintBound;
    const bool toFile = request.target.kind == PrintTarget::Kind::File;
    if (!toFile) CancelLeftJobs(left, Clock::now() + 1s, stop);
    CupsSession cups(kPrintPatience, &stop);
    const QString queue =
        request.target.kind == PrintTarget::Kind::Queue ? request.target.name : QString();
    const Outcome<PagePlacement> placement =
        toFile ? PlaceForFile(cups, request) : PlaceOnPrinter(cups, queue, request);
    if (!placement) return Fail(placement.Reason());
    const Outcome<QByteArray> pdf = request.pages(placement.Value());
    if (!pdf) return Fail(pdf.Reason());
    if (toFile) return WriteFile(request.target.name, pdf.Value());
    return SendToPrinter(cups, placement.Value(), pdf.Value(), request, left, bound, stop);
}

Outcome<PrinterFacts> DescribePrinter(const QString& queue, const std::atomic<bool>& stop) {
    CupsSession cups(kQuestionPatience, &stop);
    if (auto asked = AskPrinter(cups, queue); !asked) return Fail(asked.Reason());
    Outcome<Paper> paper = cups.PrinterPaper({});
    if (!paper) return Fail(paper.Reason());
    return PrinterFacts{cups.QueueName(), paper.Value(), cups.Colour(), cups.Resolution()};
}

}  // namespace linomark
