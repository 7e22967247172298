// The jobs a failed hand-over left at the scheduler without a confirmed end:
// each may still print once the scheduler answers again. They are kept in a
// small file of the user's cache folder, so that the next print, of the
// window or of the command line, cancels them first.
#pragma once

#include <QString>
#include <vector>

namespace linomark {

struct LeftJob {
    QString queue;
    int id = 0;        // 0: a Create-Job that was sent and never answered
    QString title;     // such a job is found by its title
    qint64 since = 0;  // and by its time of creation, not before this (seconds)
    QString server;    // the scheduler that holds it (cupsServer()): ids are its own
    friend bool operator==(const LeftJob&, const LeftJob&) = default;
};
using LeftJobs = std::vector<LeftJob>;

// Adds the jobs kept in the file that `left` does not hold yet.
void TakeKeptLeftJobs(LeftJobs& left);
// Keeps `left` in the file (removes the file when it is empty).
void KeepLeftJobs(const LeftJobs& left);

// A job as lpstat and cancel name it: "Labels-7".
QString JobName(const QString& queue, int id);
// What the user is told of a job that may still print, and how to remove it.
QString MayStillPrint(const LeftJob& job);

}  // namespace linomark
