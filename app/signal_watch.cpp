#include "signal_watch.h"

#include "sheet/print_service.h"

namespace linomark {
namespace {

// SIGUSR1 only ends the watch when the command is done.
sigset_t WatchedSignals() {
    sigset_t watched;
    sigemptyset(&watched);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaddset(&watched, signal);
    return watched;
}

}  // namespace

void BlockTerminationSignals() {
    const sigset_t watched = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &watched, nullptr);
}

// The signal is taken by sigwait on a thread of its own, so the cancel runs
// as ordinary code, not inside a signal handler.
SignalWatch::SignalWatch(PrintService& service)
    : watcher([this, &service] {
          const sigset_t watched = WatchedSignals();
          int signal = 0;
          if (sigwait(&watched, &signal) != 0 || signal == SIGUSR1) return;
          received = signal;
          service.CancelAll();
      }) {}

SignalWatch::~SignalWatch() {
    pthread_kill(watcher.native_handle(), SIGUSR1);
    watcher.join();
}

}  // namespace linomark
