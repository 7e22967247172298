// Linomark: prints sheets of Code 39 labels for tape-library cartridges.
#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <cstdio>
#include <thread>

#include "display_probe.h"
#include "ui/form1.h"
#include "ui/termination_signals.h"

int main(int argc, char** argv) {
    // Qt would abort inside its platform plugin without a display that
    // answers; say so plainly instead.
    linomark::DisplayProbe display(argc, argv);
    if (!display.Problem().empty()) {
        std::fprintf(stderr, "linomark: %s\n", display.Problem().c_str());
        return 1;
    }
    // Loading the font configuration is the largest single cost of start-up
    // (about a third of it); it runs on the second core while Qt connects to
    // the display, and is done before the window's first text is measured.
    std::thread loadFontConfiguration([] { FcInit(); });
    QApplication app(argc, argv);
    display.Close();
    // Lets the desktop match the window to linomark.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("linomark"));
    loadFontConfiguration.join();
    linomark::Form1 window;
    linomark::CloseOnTerminationSignals(window);
    window.show();
    return linomark::ExitStatus(app.exec());
}
