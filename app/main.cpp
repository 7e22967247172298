// Linomark: prints sheets of Code 39 labels for tape-library cartridges.
#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <cstdio>
#include <thread>

#include "ui/form1.h"
#include "ui/termination_signals.h"

namespace {

// Qt would abort inside its platform plugin without a display; say it plainly
// instead. A platform chosen by hand (QT_QPA_PLATFORM) is left to Qt.
bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
    if (!DisplayAvailable()) {
        std::fputs(
            "linomark: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start it "
            "from a graphical session.\n",
            stderr);
        return 1;
    }
    // Loading the font configuration is the largest single cost of start-up
    // (about a third of it); it runs on the second core while Qt connects to
    // the display, and is done before the window's first text is measured.
    std::thread loadFontConfiguration([] { FcInit(); });
    QApplication app(argc, argv);
    // Lets the desktop match the window to linomark.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("linomark"));
    loadFontConfiguration.join();
    linomark::Form1 window;
    linomark::CloseOnTerminationSignals(window);
    window.show();
    return app.exec();
}
