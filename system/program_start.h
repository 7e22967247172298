// Starting a program that outlives its call (the desktop's opener) and
// hearing of its end from the event loop, without ever waiting for it.
#pragma once

#include <sys/types.h>

#include <QObject>
#include <functional>
#include <optional>

class QSocketNotifier;

namespace linomark {

// Starts `program` with `argument` as its only argument, our environment and
// our standard output and error, reading nothing; a non-empty `directory` is
// its working directory. Returns its process id, or -1 when it could not be
// set up or started.
pid_t StartProgram(const QString& program, const QString& argument, const QString& directory);

// Waits for the end of a started program from the event loop of its thread,
// and reaps it. onEnded runs once, with the wait status, or with none when
// the program could not be reaped. A watch deleted before the end leaves the
// program running (the system reaps it after us).
class ProgramEndWatch : public QObject {
public:
    using Ended = std::function<void(std::optional<int> waitStatus)>;
    ProgramEndWatch(pid_t pid, QObject* parent, Ended onEnded);
    ~ProgramEndWatch() override;

private:
    void ReapIfEnded();

    Ended onEnded;
    pid_t pid = -1;  // -1 once reaped
    int pidDescriptor = -1;
    QSocketNotifier* ended = nullptr;
};

}  // namespace linomark
