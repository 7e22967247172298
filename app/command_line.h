// Labels from the command line, without a window or a display: the window's
// sheet or an LTO run, written as PDF or sent to a printer through the same
// print service and with the same pages as the window and the LTO dialog.
#pragma once

namespace linomark {

// Anything but Qt's own choice of platform or display asks for the command
// line; without arguments the window opens.
bool WantsCommandLine(int argc, char** argv);

// Runs the command line and returns the exit status: 0 done, 1 failed (the
// reason on standard error), 2 a usage error.
int RunCommandLine(int argc, char** argv);

}  // namespace linomark
