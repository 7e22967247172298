// One conversation with the CUPS scheduler about one printer: which queue it
// is, the paper it prints on, and the hand-over of one PDF document. No step
// waits past the session's deadline, nor once the stop flag is raised: a
// scheduler that has stopped answering is reported as such, never waited for.
#pragma once

#include <cups/cups.h>

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <optional>

#include "print/left_jobs.h"
#include "sheet/paper.h"
#include "symbology/outcome.h"

namespace linomark {

// How a cancel of a job ended: the scheduler cancelled it, the job had
// already ended there (it may have printed), or no answer came.
enum class JobEnd { Cancelled, AlreadyEnded, NoAnswer };

class CupsSession {
public:
    using Clock = std::chrono::steady_clock;

    // The stop flag, when given, ends every wait as soon as it is raised.
    explicit CupsSession(std::chrono::milliseconds patience,
                         const std::atomic<bool>* stop = nullptr);
    ~CupsSession();
    CupsSession(const CupsSession&) = delete;
    CupsSession& operator=(const CupsSession&) = delete;

    // Each step runs only after the ones before it succeeded.
    Outcome<Done> Connect();
    // An empty queue: the default printer.
    Outcome<Done> FindPrinter(const QString& queue);
    Outcome<Done> ReadPrinterInfo();

    [[nodiscard]] QString QueueName() const;
    // The paper the job goes out on, with the printer's margins for it: the
    // wanted one, else the media chosen with lpoptions, else the printer's own
    // default, else the system's. Fails when the printer does not take it.
    [[nodiscard]] Outcome<Paper> PrinterPaper(const std::optional<Paper>& wanted) const;
    [[nodiscard]] bool Colour() const;
    // Stopped with cupsdisable: jobs wait in the queue.
    [[nodiscard]] bool Paused() const;
    // The dots per inch the job prints at: the job's printer-resolution or
    // Resolution (lpoptions -o), else the PPD's DefaultResolution; 0 when
    // neither names one (a queue without a driver, a PostScript PPD that
    // leaves it to the printer).
    [[nodiscard]] int Resolution() const;

    // Hands the PDF over as one job placed 1:1 on the given paper; gives the
    // job's number. A job that was started and could not be completed is
    // cancelled (CancelledJob), or else left behind (LeftBehind), as is a
    // Create-Job the scheduler may have taken without answering.
    Outcome<int> Submit(const QByteArray& pdf, const Paper& paper, const char* title);
    [[nodiscard]] const std::optional<LeftJob>& LeftBehind() const { return leftBehind; }
    // The job the scheduler confirmed cancelled after a failed hand-over; 0: none.
    [[nodiscard]] int CancelledJob() const { return cancelledJob; }

    // Cancels a job left behind by an earlier session, retrying until the
    // scheduler answers again or the deadline passes. A job without a number
    // is looked for among the user's empty jobs of its queue by its title.
    static JobEnd CancelLeftJob(const LeftJob& job, Clock::time_point deadline,
                                const std::atomic<bool>* stop);

private:
    static int KeepWaiting(http_t* http, void* session);
    [[nodiscard]] bool Stopped() const;
    void UseFirstMembersPaper();
    [[nodiscard]] std::string PaperNameFromPrinter() const;
    [[nodiscard]] std::optional<Margins> ListedMargins(const Paper& paper) const;
    [[nodiscard]] bool TakesCustomSize(const Paper& paper) const;
    [[nodiscard]] int PpdResolution() const;
    bool SendDocument(int jobId, const QByteArray& pdf, const char* title);
    Failure CancelAfterFailure(int jobId);
    [[nodiscard]] bool Unanswered(ipp_status_t status) const;
    [[nodiscard]] JobEnd CancelUnnumbered(const LeftJob& job) const;
    // The one reading of a failed libcups step: a wait given up on is a
    // scheduler that does not answer; otherwise CUPS's last error, as said.
    [[nodiscard]] Failure StepFailed(const QString& said) const;
    [[nodiscard]] QString HandOverFailure() const;

    Clock::time_point deadline;
    const std::atomic<bool>* stop;
    http_t* http = nullptr;
    cups_dest_t* dest = nullptr;
    cups_dinfo_t* info = nullptr;
    // Whose paper and margins count: the printer's own, or for a class that
    // reports none, its first member's.
    cups_dest_t* member = nullptr;
    cups_dinfo_t* memberInfo = nullptr;
    bool timedOut = false;
    bool cancelling = false;
    std::optional<LeftJob> leftBehind;
    int cancelledJob = 0;
};

}  // namespace linomark
