// Opening a document or web address with the desktop's opener, and turning
// the opener's failures into the shell's numbered errors.
#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace mShellExecute {

struct ShellError {
    std::int32_t number = 0;
    QString description;
    QString source;
};

// True when the opener reports success; otherwise false and *error filled.
bool GShell(const QString& file, int showCommand, const QString& parameters,
            const QString& directory, const QString& operation, QWidget* owner,
            ShellError* error);

// The shell's failure code turned into its error number and message.
ShellError ShellErrorFor(int shellCode);

}  // namespace mShellExecute
