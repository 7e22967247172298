// Closing the window when the system asks the program to end.
#pragma once

class QWidget;

namespace linomark {

// After this call SIGTERM, SIGINT and SIGHUP close the window the way its
// close box does (so the settings are saved), and the program then ends.
// Call once, after the application object exists.
void CloseOnTerminationSignals(QWidget& window);

// True while a termination signal closes the window: nobody may be there to
// answer a message box then (a log-out waits for the program to end).
bool ClosingOnTerminationSignal();

// Called while closing on a termination signal when something was lost (the
// settings, a sheet): the program then ends with status 1, so that a session
// manager's log shows it.
void EndWithFailureStatus();
// The program's exit status once the event loop has ended with this one.
int ExitStatus(int eventLoopStatus);

}  // namespace linomark
