// Qt tries the Wayland display first when there is one, then the X display,
// and goes on with the first that answers; the probe asks them in the same
// order, each the way Qt reaches it, and stops at the first that answers.
#include "display_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace linomark {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool ChosenByHand(int argc, char** argv) {
    if (!Environment("QT_QPA_PLATFORM").empty()) return true;
    for (int i = 1; i < argc; ++i) {
        for (const std::string_view option : {"-platform", "--platform", "-display", "--display"}) {
            if (argv[i] == option) return true;
        }
    }
    return false;
}

// The one named, or in a Wayland session the one libwayland falls back on.
std::string WaylandDisplayName() {
    const std::string named = Environment("WAYLAND_DISPLAY");
    if (named.empty() && Environment("XDG_SESSION_TYPE") == "wayland") return "wayland-0";
    return named;
}

// A compositor is a socket that takes connections; nothing is said on a
// Wayland connection before the client's first request.
bool WaylandAnswers(const std::string& name) {
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    if (name.front() != '/' && runtime.empty()) return false;
    const std::string path = name.front() == '/' ? name : runtime + "/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return false;
    const bool answered =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return answered;
}

}  // namespace

DisplayProbe::DisplayProbe(int argc, char** argv) {
    if (ChosenByHand(argc, argv)) return;
    const std::string wayland = WaylandDisplayName();
    const std::string x = Environment("DISPLAY");
    if (wayland.empty() && x.empty()) {
        usable = Fail(
            "no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a "
            "graphical session.");
        return;
    }
    if (!wayland.empty() && WaylandAnswers(wayland)) return;
    if (!x.empty() && XAnswers(x)) return;
    const std::string names = wayland.empty() ? x : x.empty() ? wayland : wayland + " or " + x;
    usable = Fail("cannot connect to the display " + names);
}

DisplayProbe::~DisplayProbe() { Close(); }

void DisplayProbe::Close() {
    if (xConnection) xcb_disconnect(xConnection);
    xConnection = nullptr;
}

// An X server answers once it has accepted the connection and its
// authorisation, as it must for Qt's.
bool DisplayProbe::XAnswers(const std::string& name) {
    xConnection = xcb_connect(name.c_str(), nullptr);
    if (xcb_connection_has_error(xConnection) == 0) return true;
    Close();
    return false;
}

}  // namespace linomark
