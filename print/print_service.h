// The one print service of the window, the LTO dialog and the command line.
// It owns a thread of its own; every libcups call runs there. A request goes
// in by value (what to make, where to send it, the alignment offsets already
// read by the caller), and one Outcome comes back by value: through the
// queued signal finished() for a window, or from Run() for a caller that
// waits. The service never reads the settings.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "sheet/paper.h"
#include "sheet/placement.h"
#include "symbology/outcome.h"

namespace linomark {

struct LeftJob;

// Where the pages go: the default printer, a named queue, or a PDF file.
struct PrintTarget {
    enum class Kind { DefaultPrinter, Queue, File };
    Kind kind = Kind::DefaultPrinter;
    QString name;  // the queue, or the file's path
    // For a file: the queue whose paper and offset the pages are made for;
    // empty: the default printer's, or the system's paper when there is none.
    QString queue;
};

struct PrintRequest {
    PrintTarget target;
    // The paper the pages need (label stock); none: the printer's own paper.
    std::optional<Paper> paper;
    OffsetsByQueue offsets;
    MakePages pages;
    QString title;  // the job's title
    // For a file: the resolution to make it for (--dpi); 0: the printer's.
    int dotsPerInch = 0;
};

struct PrintReceipt {
    QString queue;        // the queue the job went to; empty for a file
    int jobId = 0;        // the scheduler's job number; 0 for a file
    QString fileName;     // the file written; empty for a job
    bool paused = false;  // the queue was stopped (cupsdisable): the job waits
};

// What a dialog needs to know of a printer before it prints.
struct PrinterFacts {
    QString queue;
    Paper paper;  // its paper with its margins
    bool colour = false;
    int dotsPerInch = 0;  // 0: it names no resolution
};

class PrintService : public QObject {
    Q_OBJECT

public:
    explicit PrintService(QObject* parent = nullptr);
    // Cancels the job in flight within a second, drops the queued ones, and
    // ends the thread.
    ~PrintService() override;

    // Queues the request behind those already queued; finished() follows
    // with the same ticket.
    quint64 Submit(PrintRequest request);
    // Runs the request and waits for its outcome (the command line).
    Outcome<PrintReceipt> Run(PrintRequest request);
    // Asks about a printer (empty: the default one); printerAnswered() follows.
    void AskPrinter(const QString& queue = {});
    // Requests queued or in flight.
    [[nodiscard]] int Pending() const;
    // Stops every wait on the scheduler and cancels the job in flight.
    void CancelAll();

signals:
    void finished(quint64 ticket, const linomark::Outcome<linomark::PrintReceipt>& outcome);
    void printerAnswered(const linomark::Outcome<linomark::PrinterFacts>& outcome);

private:
    struct Task {
        std::function<void()> work;
        bool submitted = false;  // counted by Pending()
    };
    void Enqueue(Task task);
    void Work();

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<Task> tasks;
    bool quitting = false;
    quint64 lastTicket = 0;
    std::atomic<int> pending = 0;
    // Raised by CancelAll: every wait on the scheduler looks at it.
    std::atomic<bool> stop = false;
    // Touched only on the service's thread.
    std::vector<LeftJob> leftJobs;
    std::thread worker;  // last: it starts once everything above exists
};

}  // namespace linomark
