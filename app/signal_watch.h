// Termination signals on the command line: SIGTERM, SIGINT or SIGHUP while
// the pages are made or handed over stops every wait on the scheduler and
// cancels the job in flight, so nothing half-sent stays in the printer's
// queue; the program then ends with status 1.
#pragma once

#include <pthread.h>

#include <atomic>
#include <csignal>
#include <thread>

namespace linomark {

class PrintService;

// Blocks the termination signals in the calling thread and every thread it
// starts afterwards; call before any thread is started.
void BlockTerminationSignals();

class SignalWatch {
public:
    // The service must outlive the watch.
    explicit SignalWatch(PrintService& service);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // The signal that came, or 0.
    [[nodiscard]] int Received() const { return received; }

private:
    std::atomic<int> received = 0;
    std::thread watcher;
};

}  // namespace linomark
