// Every run gets a HOME and XDG_CONFIG_HOME of its own, set before Qt reads
// them, so the tests never touch the user's settings and may run in parallel.
// No desktop is named and no session bus can be found, so the real xdg-open
// runs in its generic mode whatever desktop the tests are started from.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "test_support.h"

void PrintTo(const QString& text, std::ostream* os) {
    constexpr qsizetype kShown = 200;
    *os << '"' << text.left(kShown).toStdString() << '"';
    if (text.size() > kShown) *os << "... (" << text.size() << " characters)";
}

namespace {

void LeaveNoDesktop() {
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
          "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "LXQT_SESSION_CONFIG", "DESKTOP",
          "DISPLAY", "WAYLAND_DISPLAY"}) {
        qunsetenv(name);
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    LeaveNoDesktop();
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
