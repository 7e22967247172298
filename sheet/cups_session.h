// One conversation with the CUPS scheduler about the default printer: which
// queue it is, the paper it prints on, and the hand-over of one PDF page. No
// step waits past the session's deadline: a scheduler that has stopped
// answering is reported as such, never waited for.
#pragma once

#include <cups/cups.h>

#include <QByteArray>
#include <QString>
#include <chrono>
#include <string>

#include "sheet/paper.h"

namespace linomark {

class CupsSession {
public:
    using Clock = std::chrono::steady_clock;

    explicit CupsSession(std::chrono::milliseconds patience);
    ~CupsSession();
    CupsSession(const CupsSession&) = delete;
    CupsSession& operator=(const CupsSession&) = delete;

    // Each step returns why it failed, in plain words for the user, or an
    // empty text; a step runs only after the ones before it succeeded.
    QString Connect();
    QString FindDefaultPrinter();
    QString ReadPrinterInfo();

    [[nodiscard]] QString QueueName() const;
    // The printer's paper: the media chosen with lpoptions, else the
    // printer's own default, else the system's; with the printer's margins.
    [[nodiscard]] Paper PrinterPaper() const;

    // Hands the PDF over as one job placed 1:1 on the given paper. A job
    // that was started and could not be completed is cancelled.
    QString Submit(const QByteArray& pdf, const Paper& paper, const char* title);

private:
    static int KeepWaiting(http_t* http, void* session);
    [[nodiscard]] std::string PaperNameFromPrinter() const;
    [[nodiscard]] Margins PrinterMargins(const Paper& paper) const;
    QString SendDocument(int jobId, const QByteArray& pdf, const char* title);
    QString CancelAfterFailure(int jobId, const QString& reason);
    [[nodiscard]] QString NoAnswerReason() const;
    [[nodiscard]] QString HandOverFailure() const;

    Clock::time_point deadline;
    http_t* http = nullptr;
    cups_dest_t* dest = nullptr;
    cups_dinfo_t* info = nullptr;
    bool timedOut = false;
};

}  // namespace linomark
