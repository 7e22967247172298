// Opening a document or web address with the desktop's opener, and turning
// the opener's failures into the shell's numbered errors.
#pragma once

#include <QString>
#include <chrono>
#include <cstdint>

class QWidget;

namespace mShellExecute {

struct ShellError {
    std::int32_t number = 0;
    QString description;
    QString source;
};

// How long the opener may run before it is killed and the open reported as
// timed out, so a stuck opener cannot freeze the window for longer.
inline constexpr std::chrono::milliseconds kOpenerTimeLimit{10'000};

// True when the opener reports success; otherwise false and *error filled.
// The file or address is xdg-open's only argument, unchanged but for a name
// beginning with '-', passed as ./name so that it is not taken for an option.
// A non-empty directory becomes the opener's working directory. An operation
// other than "open" (or empty) fails with code 31, as the shell's does for a
// verb nothing handles. The show command, the parameters and the owner window
// have no counterpart in xdg-open and are not used.
bool GShell(const QString& file, int showCommand, const QString& parameters,
            const QString& directory, const QString& operation, QWidget* owner, ShellError* error);

// The same with a time limit of the caller's choosing.
bool GShell(const QString& file, int showCommand, const QString& parameters,
            const QString& directory, const QString& operation, QWidget* owner, ShellError* error,
            std::chrono::milliseconds timeLimit);

// The shell's failure code turned into its error number and message.
ShellError ShellErrorFor(int shellCode);

}  // namespace mShellExecute
