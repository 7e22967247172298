// Linomark: prints sheets of Code 39 labels for tape-library cartridges.
#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <thread>

#include "command_line.h"
#include "display_probe.h"
#include "ui/form1.h"

int main(int argc, char** argv) {
    if (linomark::WantsCommandLine(argc, argv)) return linomark::RunCommandLine(argc, argv);
    // Qt would abort inside its platform plugin without a display that
    // answers; say so plainly instead.
    linomark::DisplayProbe display(argc, argv);
    if (!display.Usable()) {
        std::fprintf(stderr, "linomark: %s\n", display.Usable().Reason().c_str());
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
    window.CloseOnTerminationSignals();
    window.show();
    if (linomark::WantsLtoLabels(argc, argv))
        QTimer::singleShot(0, &window, &linomark::Form1::ShowLtoLabels);
    const int status = app.exec();
    return window.LostOnClose() ? 1 : status;
}
