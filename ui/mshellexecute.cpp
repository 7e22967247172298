// The shell's open-document call stands in here as the desktop's URL opener,
// xdg-open, run and waited for. Its outcomes are mapped onto the shell's
// failure codes so that the caller sees the shell's numbers and messages.
#include "ui/mshellexecute.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <iterator>
#include <optional>

namespace mShellExecute {
namespace {

// The error number of a code without a message of its own is the code plus
// hexadecimal 80040418 read as a signed 32-bit number.
constexpr std::int32_t kShellErrorBase = -2147220456;

struct ShellErrorRow {
    int code;
    std::int32_t number;
    const char* message;
};

constexpr ShellErrorRow kShellErrors[] = {
    {0, 7, "Out of memory"},
    {2, 53, "File not found"},
    {3, 76, "Path not found"},
    {5, 75, "Path/file access error"},
    {8, 7, "Out of memory"},
    {11, kShellErrorBase + 11, "The executable file is invalid or corrupt"},
    {26, 75, "A sharing violation occurred."},
    {27, kShellErrorBase + 27, "This file type does not have a valid file association."},
    {28, 286, "The file could not be opened due to time out.  Please try again in a moment."},
    {29, 285,
     "The file could not be opened because the DDE transaction failed.  Please try again in a "
     "moment."},
    {30, 285,
     "The file could not be opened because the target application is busy.  Please try again in "
     "a moment."},
    {31, kShellErrorBase + 31, "No application is associated with this file type."},
    {32, 48, "The specified dynamic-link library was not found."},
};
static_assert(std::size(kShellErrors) == 13,
              "one row for each named failure code: 0, 2, 3, 5, 8, 11 and 26 to 32");

constexpr const char* kOtherFailureMessage =
    "An error occurred occurred whilst trying to open or print the selected file.";

// The opener's outcomes in the shell's failure codes.
constexpr int kFileNotFound = 2;      // no xdg-open on PATH, or it would not start
constexpr int kPathNotFound = 3;      // the working directory does not exist
constexpr int kTimeOut = 28;          // still running when the time limit ran out
constexpr int kNoAssociation = 31;    // nothing handles the address or the operation
constexpr int kOtherFailure = 1;      // any other failure: the table's last row
constexpr int kXdgOpenNoHandler = 3;  // xdg-open's exit status for "no tool found"

bool IsOpenOperation(const QString& operation) {
    return operation.isEmpty() ||
           operation.compare(QLatin1String("open"), Qt::CaseInsensitive) == 0;
}

std::optional<int> FailureOfFinished(const QProcess& process) {
    if (process.exitStatus() == QProcess::CrashExit) return kOtherFailure;
    switch (process.exitCode()) {
        case 0:
            return std::nullopt;
        case kXdgOpenNoHandler:
            return kNoAssociation;
        default:
            return kOtherFailure;
    }
}

// Runs xdg-open on the target and waits at most timeLimit for it; returns
// the shell's failure code, or nothing when the opener succeeded.
std::optional<int> RunOpener(const QString& target, const QString& directory,
                             std::chrono::milliseconds timeLimit) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return kFileNotFound;
    if (!directory.isEmpty() && !QFileInfo(directory).isDir()) return kPathNotFound;

    QProcess process;
    process.setProgram(opener);
    // xdg-open takes an argument that begins with '-' for one of its options.
    process.setArguments({target.startsWith('-') ? "./" + target : target});
    process.setWorkingDirectory(directory);
    // Whatever the opener or a browser it starts prints goes where ours goes;
    // a pipe would break when the opener is killed and leave the browser
    // writing into nothing.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted()) return kFileNotFound;
    const int limitMs = static_cast<int>(std::clamp<std::int64_t>(timeLimit.count(), 0, INT32_MAX));
    if (!process.waitForFinished(limitMs) && process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return kTimeOut;
    }
    return FailureOfFinished(process);
}

}  // namespace

bool GShell(const QString& file, int showCommand, const QString& parameters,
            const QString& directory, const QString& operation, QWidget* owner, ShellError* error) {
    return GShell(file, showCommand, parameters, directory, operation, owner, error,
                  kOpenerTimeLimit);
}

bool GShell(const QString& file, int /*showCommand*/, const QString& /*parameters*/,
            const QString& directory, const QString& operation, QWidget* /*owner*/,
            ShellError* error, std::chrono::milliseconds timeLimit) {
    const std::optional<int> failure =
        IsOpenOperation(operation) ? RunOpener(file, directory, timeLimit) : kNoAssociation;
    if (failure && error) *error = ShellErrorFor(*failure);
    return !failure;
}

ShellError ShellErrorFor(int shellCode) {
    ShellError error;
    error.source =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".GShell";
    const auto row =
        std::find_if(std::begin(kShellErrors), std::end(kShellErrors),
                     [shellCode](const ShellErrorRow& r) { return r.code == shellCode; });
    if (row == std::end(kShellErrors)) {
        // Wraps modulo 2^32 for codes far outside the shell's 0 to 32.
        error.number = static_cast<std::int32_t>(std::int64_t{shellCode} + kShellErrorBase);
        error.description = QString::fromLatin1(kOtherFailureMessage);
        return error;
    }
    error.number = row->number;
    error.description = QString::fromLatin1(row->message);
    return error;
}

}  // namespace mShellExecute
