// Starts a program and reports how long it took until its first top-level
// window was mapped on the X display, and its peak resident memory (VmHWM)
// one second later; then ends it with SIGTERM.
//
//   window_mapped PROGRAM [ARGS...]   prints "<milliseconds> <VmHWM KiB>"
//
// The map event is taken from the X server itself (SubstructureNotify on the
// root window), so the figure does not depend on a polling interval.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

long PeakResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

// Waits for a MapNotify of a child of the root window; false after the timeout.
bool WaitForMap(Display* display, std::chrono::seconds timeout) {
    const auto deadline = Clock::now() + timeout;
    const int fd = ConnectionNumber(display);
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) return true;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval slice{0, 10000};
        select(fd + 1, &readable, nullptr, nullptr, &slice);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window_mapped: cannot open the X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    const bool mapped = WaitForMap(display, std::chrono::seconds(20));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    sleep(1);
    const long peakKiB = PeakResidentKiB(pid);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    XCloseDisplay(display);
    if (!mapped) {
        std::fprintf(stderr, "window_mapped: no window was mapped\n");
        return 1;
    }
    std::printf("%.2f %ld\n", ms, peakKiB);
    return 0;
}
