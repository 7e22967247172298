#include "ui/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <array>
#include <cerrno>
#include <csignal>

namespace linomark {

namespace {

// A signal handler may do almost nothing, so it only writes a byte into a
// socket pair; the event loop reads it and closes the window on its own thread.
std::array<int, 2> signalSockets{-1, -1};
bool closingOnSignal = false;
bool somethingLost = false;

void WakeEventLoop(int) {
    const int savedErrno = errno;
    const char byte = 1;
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

void DrainSocket(int socket) {
    char bytes[16];
    [[maybe_unused]] const ssize_t read = ::read(socket, bytes, sizeof bytes);
}

}  // namespace

void CloseOnTerminationSignals(QWidget& window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0,
                     signalSockets.data()) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        DrainSocket(signalSockets[1]);
        closingOnSignal = true;
        window.close();
        closingOnSignal = false;
        // Ends the main loop and any message box still open over the window.
        QCoreApplication::quit();
    });
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) InstallHandler(signalNumber);
}

bool ClosingOnTerminationSignal() { return closingOnSignal; }

void EndWithFailureStatus() { somethingLost = true; }

int ExitStatus(int eventLoopStatus) { return somethingLost ? 1 : eventLoopStatus; }

}  // namespace linomark
