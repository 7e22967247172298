// The termination signals (SIGTERM, SIGINT and SIGHUP) in one place: the
// window takes them in its event loop, the command line on a thread of its
// own. Either way the code that acts on them runs as ordinary code, never
// inside a signal handler.
#pragma once

#include <QObject>
#include <array>
#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

namespace linomark {

inline constexpr std::array<int, 3> kTerminationSignals{SIGTERM, SIGINT, SIGHUP};

// From now on each termination signal calls onSignal on the receiver's
// thread, from its event loop. Call once, after the application exists.
void DeliverTerminationSignals(QObject& receiver, std::function<void(int)> onSignal);

// Blocks the termination signals in the calling thread and in every thread
// it starts afterwards; call before any thread is started, then let a
// TerminationWatch take them.
void BlockTerminationSignals();

// Waits on a thread of its own for the first blocked termination signal and
// calls onSignal there with it.
class TerminationWatch {
public:
    explicit TerminationWatch(std::function<void(int)> onSignal);
    ~TerminationWatch();
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

    // The signal that came, or 0.
    [[nodiscard]] int Received() const { return received; }

private:
    std::atomic<int> received = 0;
    std::thread watcher;
};

}  // namespace linomark
