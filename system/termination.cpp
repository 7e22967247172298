#include "system/termination.h"

#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace linomark {
namespace {

// A signal handler may do almost nothing, so it only writes a byte into a
// socket pair; the event loop reads it on the receiver's thread.
std::array<int, 2> signalSockets{-1, -1};

void WakeEventLoop(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // A full socket already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

void InstallHandler(int signalNumber) {
    struct sigaction action {};
    action.sa_handler = WakeEventLoop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

// SIGUSR1 only ends a watch whose command is done.
sigset_t WatchedSignals() {
    sigset_t watched;
    sigemptyset(&watched);
    for (const int signalNumber : kTerminationSignals) sigaddset(&watched, signalNumber);
    sigaddset(&watched, SIGUSR1);
    return watched;
}

}  // namespace

void DeliverTerminationSignals(QObject& receiver, std::function<void(int)> onSignal) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0,
                     signalSockets.data()) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, &receiver);
    QObject::connect(notifier, &QSocketNotifier::activated, &receiver,
                     [onSignal = std::move(onSignal)] {
                         char bytes[16];
                         const ssize_t got = ::read(signalSockets[1], bytes, sizeof bytes);
                         if (got > 0) onSignal(bytes[0]);
                     });
    for (const int signalNumber : kTerminationSignals) InstallHandler(signalNumber);
}

void BlockTerminationSignals() {
    const sigset_t watched = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &watched, nullptr);
}

TerminationWatch::TerminationWatch(std::function<void(int)> onSignal)
    : watcher([this, onSignal = std::move(onSignal)] {
          const sigset_t watched = WatchedSignals();
          int signalNumber = 0;
          if (sigwait(&watched, &signalNumber) != 0 || signalNumber == SIGUSR1) return;
          received = signalNumber;
          onSignal(signalNumber);
      }) {}

TerminationWatch::~TerminationWatch() {
    pthread_kill(watcher.native_handle(), SIGUSR1);
    watcher.join();
}

}  // namespace linomark
