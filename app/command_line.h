// Labels from the command line, without a window or a display: the window's
// sheet or an LTO run, written as PDF or sent to a printer through the same
// print service and with the same pages as the window and the LTO dialog.
#pragma once

namespace linomark {

// The window's one option: it opens with the LTO labels dialog (the desktop
// entry's "LTO labels" action).
inline constexpr char kLtoLabelsOption[] = "--lto-labels";

// Anything but Qt's own choice of platform or display, or the window's
// option, asks for the command line; without arguments the window opens.
bool WantsCommandLine(int argc, char** argv);
bool WantsLtoLabels(int argc, char** argv);

// Runs the command line and returns the exit status: 0 done, 1 failed (the
// reason on standard error), 2 a usage error.
int RunCommandLine(int argc, char** argv);

}  // namespace linomark
