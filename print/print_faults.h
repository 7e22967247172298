// Every way a step of a print or a save can fail, and what becomes of a job
// that failed, in one table: the words the window's warning and the command
// line say, each with its %1, %2 ... filled in by the step that failed.
#pragma once

#include <QString>
#include <QStringList>

#include "symbology/outcome.h"

namespace linomark {

enum class PrintFault {
    NotRunning,           // server
    NoAnswer,             // server
    NoAnswerInHandOver,   // server, queue
    NotAPrintingService,  // server
    LookupFailed,         // server, what CUPS said
    NoSuchPrinter,        // queue, server
    NoDefaultPrinter,
    NoPaperInfo,    // queue, what CUPS said
    PaperNotTaken,  // queue, paper, " The printer's own paper is ..." or nothing
    Cancelled,
    ConnectionLost,       // server, queue
    NotHandedOver,        // queue, what CUPS said
    Refused,              // queue, what CUPS said
    NotAFile,             // file, what it is
    NotSaved,             // file, why
    EarlierJobUnsettled,  // queue, what may still print
    // What became of the job of a failed hand-over, said after the failure.
    NothingPrinted,
    JobCancelled,       // job (Labels-7)
    JobCancelledLater,  // job
    JobAlreadyEnded,    // job
    JobMayStillPrint,   // job, queue
    EmptyJobMayBeLeft,  // title, queue
    Count
};

// The words of the fault, with its arguments in order.
QString Said(PrintFault fault, const QStringList& arguments = {});
Failure Failed(PrintFault fault, const QStringList& arguments = {});

}  // namespace linomark
