// What the print service does on its own thread for one request: ask the
// printer, make the pages for it, and hand them over or write the file.
// Every libcups call of the program is made from here.
#pragma once

#include <atomic>
#include <vector>

#include "print/left_jobs.h"
#include "print/print_service.h"

namespace linomark {

// Waits at most about ten seconds on the scheduler, and no longer once the
// stop flag is raised.
Outcome<PrintReceipt> Deliver(const PrintRequest& request, const std::atomic<bool>& stop,
                              LeftJobs& left);

Outcome<PrinterFacts> DescribePrinter(const QString& queue, const std::atomic<bool>& stop);

}  // namespace linomark
