// Opening a document or web address with the desktop's opener, and turning
// the opener's failures into the shell's numbered errors.
#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>

class QWidget;

namespace mShellExecute {

struct ShellError {
    std::int32_t number = 0;
    QString description;
    QString source;
};

// How long the opener has to report a failure. Without a desktop, xdg-open
// runs the browser and waits for it, so an opener still running then has
// started the browser: the open has succeeded and the opener runs on.
inline constexpr std::chrono::milliseconds kOpenerAnswerTime{2'000};

// The outcome of one GShell: opened, or not and why.
using Completion = std::function<void(bool opened, const ShellError& error)>;

// Starts the opener and returns at once. The completion runs once, from the
// event loop of the application's thread (the caller's), when the opener has
// ended or has run for kOpenerAnswerTime; not at all when the owner window,
// if one is given, is gone by then. The opener is never killed, also not when
// the program ends, and is reaped when it ends.
// The file or address is xdg-open's only argument, unchanged but for a name
// beginning with '-', passed as ./name so that it is not taken for an option.
// A non-empty directory becomes the opener's working directory. An operation
// other than "open" (or empty) fails with code 31, as the shell's does for a
// verb nothing handles. The show command and the parameters have no
// counterpart in xdg-open and are not used.
void GShell(const QString& file, int showCommand, const QString& parameters,
            const QString& directory, const QString& operation, QWidget* owner,
            Completion completion);

}  // namespace mShellExecute
