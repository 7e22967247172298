// The shell's open-document call stands in here as the desktop's URL opener,
// xdg-open, started without waiting for it. Its outcomes are mapped onto the
// shell's failure codes so that the caller sees the shell's numbers and messages.
#include "ui/mshellexecute.h"

#include <sys/wait.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "system/program_start.h"

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

// "occurred occurred" is the message's own wording, kept as users have always seen it.
constexpr const char* kOtherFailureMessage =
    "An error occurred occurred whilst trying to open or print the selected file.";

// The opener's outcomes in the shell's failure codes.
constexpr int kFileNotFound = 2;    // no xdg-open, it would not start, or no such file
constexpr int kPathNotFound = 3;    // the working directory does not exist
constexpr int kNoAssociation = 31;  // nothing handles the address or the operation
constexpr int kOtherFailure = 1;    // any other failure: the table's last row
// xdg-open's exit statuses that have a row of their own.
constexpr int kXdgOpenFileMissing = 2;
constexpr int kXdgOpenNoHandler = 3;

ShellError ShellErrorFor(int shellCode) {
    ShellError error;
    error.source =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".GShell";
    const auto row =
        std::find_if(std::begin(kShellErrors), std::end(kShellErrors),
                     [shellCode](const ShellErrorRow& r) { return r.code == shellCode; });
    if (row == std::end(kShellErrors)) {
        error.number = kShellErrorBase + shellCode;
        error.description = QString::fromLatin1(kOtherFailureMessage);
        return error;
    }
    error.number = row->number;
    error.description = QString::fromLatin1(row->message);
    return error;
}

bool IsOpenOperation(const QString& operation) {
    return operation.isEmpty() ||
           operation.compare(QLatin1String("open"), Qt::CaseInsensitive) == 0;
}

std::optional<int> FailureOfEnded(int waitStatus) {
    if (!WIFEXITED(waitStatus)) return kOtherFailure;
    switch (WEXITSTATUS(waitStatus)) {
        case 0:
            return std::nullopt;
        case kXdgOpenFileMissing:
            return kFileNotFound;
        case kXdgOpenNoHandler:
            return kNoAssociation;
        default:
            return kOtherFailure;
    }
}

// One GShell call from its start until the opener is reaped. It belongs to the
// application object, so one still waiting when the program ends is deleted
// then, and leaves the opener running (the system reaps it after us).
class PendingOpen : public QObject {
public:
    PendingOpen(QWidget* owner, Completion completion);

    void Refuse(int shellCode);
    void Watch(pid_t opener);

private:
    void Answer(std::optional<int> failure);

    QPointer<QObject> receiver;
    Completion completion;  // empty once answered
};

PendingOpen::PendingOpen(QWidget* owner, Completion completion)
    : QObject(QCoreApplication::instance()),
      receiver(owner ? static_cast<QObject*>(owner) : QCoreApplication::instance()),
      completion(std::move(completion)) {}

// Refused before any opener ran: answered from the event loop all the same.
void PendingOpen::Refuse(int shellCode) {
    QTimer::singleShot(0, this, [this, shellCode] {
        Answer(shellCode);
        deleteLater();
    });
}

void PendingOpen::Watch(pid_t opener) {
    new linomark::ProgramEndWatch(opener, this, [this](std::optional<int> waitStatus) {
        Answer(waitStatus ? FailureOfEnded(*waitStatus) : kOtherFailure);
        deleteLater();
    });
    QTimer::singleShot(kOpenerAnswerTime, this, [this] { Answer(std::nullopt); });
}

// The completion comes as an event of its own, so that a message box it shows
// does not run inside the opener's watch.
void PendingOpen::Answer(std::optional<int> failure) {
    if (!completion || !receiver) return;
    const ShellError error = failure ? ShellErrorFor(*failure) : ShellError();
    QTimer::singleShot(0, receiver, [done = std::exchange(completion, {}), failure, error] {
        done(!failure, error);
    });
}

}  // namespace

void GShell(const QString& file, int /*showCommand*/, const QString& /*parameters*/,
            const QString& directory, const QString& operation, QWidget* owner,
            Completion completion) {
    auto* pending = new PendingOpen(owner, std::move(completion));
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!IsOpenOperation(operation)) return pending->Refuse(kNoAssociation);
    if (opener.isEmpty()) return pending->Refuse(kFileNotFound);
    if (!directory.isEmpty() && !QFileInfo(directory).isDir())
        return pending->Refuse(kPathNotFound);
    // xdg-open takes an argument that begins with '-' for one of its options.
    const pid_t started =
        linomark::StartProgram(opener, file.startsWith('-') ? "./" + file : file, directory);
    if (started < 0) return pending->Refuse(kFileNotFound);
    pending->Watch(started);
}

}  // namespace mShellExecute
