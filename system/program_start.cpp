#include "system/program_start.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <utility>

namespace linomark {
namespace {

// When no process descriptor can be had (Linux before 5.3, or none free),
// the program's end is looked for this often instead.
constexpr std::chrono::milliseconds kEndPollInterval{250};

// The child gets /dev/null as standard input and keeps only standard input,
// output and error: a descriptor of ours without close-on-exec (a display's
// socket, a file a library opened) must not live on in a browser. Each call
// returns 0 or an error number; the first failure stops the rest.
int PrepareFileActions(posix_spawn_file_actions_t& actions, const QByteArray& directory) {
    int failed = posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!failed) failed = posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    if (!failed && !directory.isEmpty())
        failed = posix_spawn_file_actions_addchdir_np(&actions, directory.constData());
    return failed;
}

// Signals come to the child as to any new program: none blocked, each with
// its default action.
int PrepareAttributes(posix_spawnattr_t& attributes) {
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    int failed = posix_spawnattr_setsigmask(&attributes, &none);
    if (!failed) failed = posix_spawnattr_setsigdefault(&attributes, &all);
    if (!failed)
        failed =
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    return failed;
}

}  // namespace

pid_t StartProgram(const QString& program, const QString& argument, const QString& directory) {
    QByteArray path = QFile::encodeName(program);
    QByteArray encodedArgument = argument.toLocal8Bit();
    const QByteArray workingDirectory = QFile::encodeName(directory);
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    char* arguments[] = {path.data(), encodedArgument.data(), nullptr};
    pid_t pid = -1;
    const bool started =
        PrepareFileActions(actions, workingDirectory) == 0 && PrepareAttributes(attributes) == 0 &&
        posix_spawn(&pid, path.constData(), &actions, &attributes, arguments, environ) == 0;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return started ? pid : -1;
}

ProgramEndWatch::ProgramEndWatch(pid_t pid, QObject* parent, Ended onEnded)
    : QObject(parent), onEnded(std::move(onEnded)), pid(pid) {
    // Called directly: not every C library has a wrapper for it, or declares it for C++.
    pidDescriptor = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidDescriptor >= 0) {
        ended = new QSocketNotifier(pidDescriptor, QSocketNotifier::Read, this);
        connect(ended, &QSocketNotifier::activated, this, &ProgramEndWatch::ReapIfEnded);
    } else {
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, &ProgramEndWatch::ReapIfEnded);
        poll->start(kEndPollInterval);
    }
}

ProgramEndWatch::~ProgramEndWatch() {
    delete ended;  // before its descriptor is closed
    if (pidDescriptor >= 0) ::close(pidDescriptor);
}

void ProgramEndWatch::ReapIfEnded() {
    if (pid < 0) return;
    int status = 0;
    const pid_t reaped = ::waitpid(pid, &status, WNOHANG);
    if (reaped == 0) return;
    pid = -1;
    if (ended) ended->setEnabled(false);
    onEnded(reaped > 0 ? std::optional<int>(status) : std::nullopt);
}

}  // namespace linomark
