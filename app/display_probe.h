// Whether a window can be shown at all, asked before Qt is: Qt aborts when no
// display answers, with advice to reinstall the program.
#pragma once

#include <string>

#include "symbology/outcome.h"

struct xcb_connection_t;

namespace linomark {

// Asks the display Qt will use whether it answers. A platform or display
// chosen by hand (QT_QPA_PLATFORM, -platform, -display) is left to Qt.
class DisplayProbe {
public:
    DisplayProbe(int argc, char** argv);
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    // Whether a window can be shown: done when the display answers or the
    // choice is left to Qt, else why not, as one plain sentence.
    [[nodiscard]] const Outcome<Done>& Usable() const { return usable; }

    // An X server resets itself when its last client leaves, which would
    // hold up Qt's connection; so the probe's own stays open until Qt has
    // connected, and is closed here.
    void Close();

private:
    bool XAnswers(const std::string& name);

    Outcome<Done> usable = Done{};
    xcb_connection_t* xConnection = nullptr;
};

}  // namespace linomark
