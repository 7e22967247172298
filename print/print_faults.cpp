#include "print/print_faults.h"

#include <array>

namespace linomark {
namespace {

struct FaultRow {
    PrintFault fault;
    const char* words;
};

// In the order of PrintFault; what to do comes last, after what happened.
constexpr std::array kFaults{
    FaultRow{PrintFault::NotRunning,
             "The printing service at %1 is not running. Start CUPS (the cups package) and try "
             "again."},
    FaultRow{PrintFault::NoAnswer,
             "The printing service at %1 does not answer. Nothing was printed. Check that CUPS is "
             "running and try again."},
    FaultRow{PrintFault::NoAnswerInHandOver,
             "The printing service at %1 does not answer: it stopped while the label sheet was "
             "handed over to the printer %2. Check that CUPS is running and try again."},
    FaultRow{PrintFault::NotAPrintingService,
             "The server at %1 does not answer as a printing service. Check the printing "
             "server's address (CUPS_SERVER or client.conf) and try again."},
    FaultRow{PrintFault::LookupFailed, "The printer cannot be looked up at %1: %2"},
    FaultRow{PrintFault::NoSuchPrinter, "There is no printer %1 at %2."},
    FaultRow{PrintFault::NoDefaultPrinter,
             "No default printer is set up. Add a printer in the system's printer settings and "
             "try again."},
    FaultRow{PrintFault::NoPaperInfo, "The printer %1 cannot be asked about its paper: %2"},
    FaultRow{PrintFault::PaperNotTaken,
             "The printer %1 does not take %2 paper.%3 Nothing was printed. Set its paper "
             "(lpoptions -p %1 -o media=A4, or the printer's settings) and try again."},
    FaultRow{PrintFault::Cancelled, "Printing was cancelled."},
    FaultRow{PrintFault::ConnectionLost,
             "The connection to the printing service at %1 was lost while the label sheet was "
             "sent to the printer %2. Check that CUPS is running and try again."},
    FaultRow{PrintFault::NotHandedOver,
             "The label sheet could not be handed over to the printer %1 (%2). Check that CUPS "
             "is running and try again."},
    FaultRow{PrintFault::Refused,
             "The printer %1 refused the label sheet: %2. If it is stopped or rejecting jobs, "
             "run cupsenable %1 / cupsaccept %1, or use the printer settings, and try again."},
    FaultRow{PrintFault::NotAFile,
             "%1 is %2, not a file; it was left as it is. Choose another name and try again."},
    FaultRow{PrintFault::NotSaved, "The label sheet could not be saved as %1: %2"},
    FaultRow{PrintFault::EarlierJobUnsettled,
             "An earlier print to %1 is not settled: %2 Nothing was printed this time. Try "
             "again once the printing service answers."},
    FaultRow{PrintFault::NothingPrinted, "Nothing was printed."},
    FaultRow{PrintFault::JobCancelled, "Job %1 was cancelled; nothing was printed."},
    FaultRow{PrintFault::JobCancelledLater,
             "Job %1 was cancelled once the printing service answered again."},
    FaultRow{PrintFault::JobAlreadyEnded,
             "Job %1 had already ended at the printing service, so it may have printed "
             "(`lpstat -W completed` lists it)."},
    FaultRow{PrintFault::JobMayStillPrint,
             "Job %1 may still print when the printing service answers again; `cancel %1` "
             "removes it (the next print to %2 cancels it first)."},
    FaultRow{PrintFault::EmptyJobMayBeLeft,
             "An empty job \"%1\" may have been left on %2 (`lpstat -o %2` lists it, `cancel` "
             "removes it; the next print to %2 cancels it first)."},
};
static_assert(kFaults.size() == static_cast<std::size_t>(PrintFault::Count),
              "one row for each fault");

constexpr bool InOrder() {
    for (std::size_t i = 0; i < kFaults.size(); ++i) {
        if (kFaults[i].fault != static_cast<PrintFault>(i)) return false;
    }
    return true;
}
static_assert(InOrder(), "the rows in the order of PrintFault");

}  // namespace

QString Said(PrintFault fault, const QStringList& arguments) {
    // All at once, so that a %1 inside a queue's or a file's name stays as it is.
    const QString words = QString::fromUtf8(kFaults[static_cast<std::size_t>(fault)].words);
    const auto at = [&arguments](qsizetype i) { return arguments.value(i); };
    switch (arguments.size()) {
        case 0:
            return words;
        case 1:
            return words.arg(at(0));
        case 2:
            return words.arg(at(0), at(1));
        default:
            return words.arg(at(0), at(1), at(2));
    }
}

Failure Failed(PrintFault fault, const QStringList& arguments) {
    return Fail(Said(fault, arguments).toStdString());
}

}  // namespace linomark
