#include "print/print_delivery.h"

#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <chrono>

#include "print/cups_session.h"
#include "system/failure_text.h"
#include "print/print_faults.h"
#include "system/replace_file.h"

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
    if (!paper) return paper.Failed();
    return PagePlacement{paper.Value(), cups.QueueName(),
                         OffsetOf(request.offsets, cups.QueueName()), cups.Resolution()};
}

Outcome<PagePlacement> PlaceOnPrinter(CupsSession& cups, const QString& queue,
                                      const PrintRequest& request) {
    if (auto asked = AskPrinter(cups, queue); !asked) return asked.Failed();
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
    return Failed(PrintFault::NotAFile, {fileName, what});
}

// The file appears whole under its name, or what was there stays as it was.
Outcome<PrintReceipt> WriteFile(const QString& fileName, const QByteArray& pdf,
                                const std::atomic<bool>& stop) {
    if (auto target = CheckFileTarget(fileName); !target) return target.Failed();
    const Outcome<Done> written =
        ReplaceFile(QFile::encodeName(fileName).toStdString(), pdf.toStdString(), stop);
    if (!written) {
        return Failed(PrintFault::NotSaved, {fileName, QString::fromStdString(written.Reason())});
    }
    return PrintReceipt{{}, 0, fileName};
}

// Jobs an earlier hand-over left behind go first; those the scheduler still
// does not answer for are kept for the next print, in this process and the
// next one.
void CancelLeftJobs(LeftJobs& left, Clock::time_point until, const std::atomic<bool>& stop) {
    const LeftJobs before = left;
    const QString server = QString::fromUtf8(cupsServer());
    std::erase_if(left, [&](const LeftJob& job) {
        return job.server == server &&
               CupsSession::CancelLeftJob(job, until, &stop) != JobEnd::NoAnswer;
    });
    if (left != before) KeepLeftJobs(left);
}

// A job of an earlier print that may still print on the queue stops this
// one: printing both would give two labels of one barcode.
Outcome<Done> CheckNoneLeftOn(const QString& queue, LeftJobs& left, Clock::time_point until,
                              const std::atomic<bool>& stop) {
    const QString server = QString::fromUtf8(cupsServer());
    const auto onQueue = [&](const LeftJob& job) {
        return job.queue == queue && job.server == server;
    };
    if (std::none_of(left.begin(), left.end(), onQueue)) return Done{};
    CancelLeftJobs(left, until, stop);
    const auto still = std::find_if(left.begin(), left.end(), onQueue);
    if (still == left.end()) return Done{};
    return Failed(PrintFault::EarlierJobUnsettled, {queue, MayStillPrint(*still)});
}

// What became of the job a failed hand-over made, said only as far as the
// scheduler confirmed it.
QString FateOf(const CupsSession& cups, const LeftJobs& left) {
    if (cups.CancelledJob() > 0)
        return Said(PrintFault::JobCancelled, {JobName(cups.QueueName(), cups.CancelledJob())});
    const std::optional<LeftJob>& made = cups.LeftBehind();
    if (made && std::find(left.begin(), left.end(), *made) != left.end())
        return MayStillPrint(*made);
    if (!made || made->id == 0) return Said(PrintFault::NothingPrinted);
    return Said(PrintFault::JobCancelledLater, {JobName(made->queue, made->id)});
}

Outcome<PrintReceipt> SendToPrinter(CupsSession& cups, const PagePlacement& placement,
                                    const QByteArray& pdf, const PrintRequest& request,
                                    LeftJobs& left, Clock::time_point bound,
                                    const std::atomic<bool>& stop) {
    if (auto settled = CheckNoneLeftOn(placement.queue, left, bound, stop); !settled)
        return settled.Failed();
    if (stop) return Failed(PrintFault::Cancelled);
    const Outcome<int> job = cups.Submit(pdf, placement.paper, qUtf8Printable(request.title));
    if (job) return PrintReceipt{placement.queue, job.Value(), {}, cups.Paused()};
    if (cups.LeftBehind()) {
        left.push_back(*cups.LeftBehind());
        KeepLeftJobs(left);
        CancelLeftJobs(left, bound, stop);
    }
    return FailWith(QString::fromStdString(job.Reason()) + QLatin1Char(' ') + FateOf(cups, left));
}

}  // namespace

Outcome<PrintReceipt> Deliver(const PrintRequest& request, const std::atomic<bool>& stop,
                              LeftJobs& left) {
    const auto bound = Clock::now() + kPrintBound;
    const bool toFile = request.target.kind == PrintTarget::Kind::File;
    if (!toFile) {
        TakeKeptLeftJobs(left);
        CancelLeftJobs(left, Clock::now() + 1s, stop);
    }
    CupsSession cups(kPrintPatience, &stop);
    const QString queue =
        request.target.kind == PrintTarget::Kind::Queue ? request.target.name : QString();
    const Outcome<PagePlacement> placement =
        toFile ? PlaceForFile(cups, request) : PlaceOnPrinter(cups, queue, request);
    if (!placement) return placement.Failed();
    const Outcome<QByteArray> pdf = request.pages(placement.Value());
    if (!pdf) return pdf.Failed();
    if (toFile) return WriteFile(request.target.name, pdf.Value(), stop);
    return SendToPrinter(cups, placement.Value(), pdf.Value(), request, left, bound, stop);
}

Outcome<PrinterFacts> DescribePrinter(const QString& queue, const std::atomic<bool>& stop) {
    CupsSession cups(kQuestionPatience, &stop);
    if (auto asked = AskPrinter(cups, queue); !asked) return asked.Failed();
    Outcome<Paper> paper = cups.PrinterPaper({});
    if (!paper) return paper.Failed();
    return PrinterFacts{cups.QueueName(), paper.Value(), cups.Colour(), cups.Resolution()};
}

}  // namespace linomark
