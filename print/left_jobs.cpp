#include "print/left_jobs.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

#include "print/print_faults.h"
#include "system/small_file.h"

namespace linomark {
namespace {

// A few lines a job; more than a thousand jobs are never left.
constexpr std::size_t kMostFileBytes = 64 * 1024;
constexpr int kFields = 5;  // queue, id, since, server, title; a tab between

QString KeptFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/linomark/unconfirmed-jobs");
}

LeftJobs ReadKept() {
    const Outcome<std::string> text =
        ReadSmallFile(QFile::encodeName(KeptFile()).toStdString(), kMostFileBytes);
    LeftJobs kept;
    if (!text) return kept;
    for (const QString& line : QString::fromStdString(text.Value()).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != kFields || fields[0].isEmpty()) continue;
        kept.push_back(
            {fields[0], fields[1].toInt(), fields[4], fields[2].toLongLong(), fields[3]});
    }
    return kept;
}

}  // namespace

void TakeKeptLeftJobs(LeftJobs& left) {
    for (const LeftJob& job : ReadKept()) {
        if (std::find(left.begin(), left.end(), job) == left.end()) left.push_back(job);
    }
}

// Written whole or not at all; a cache that cannot be written only loses
// the reminder for the next process, never the print.
void KeepLeftJobs(const LeftJobs& left) {
    if (left.empty()) {
        QFile::remove(KeptFile());
        return;
    }
    QDir().mkpath(QFileInfo(KeptFile()).absolutePath());
    QSaveFile file(KeptFile());
    if (!file.open(QIODevice::WriteOnly)) return;
    for (const LeftJob& job : left) {
        QString title = job.title;
        title.replace(QLatin1Char('\t'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        file.write(QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                       .arg(job.queue)
                       .arg(job.id)
                       .arg(job.since)
                       .arg(job.server, title)
                       .toUtf8());
    }
    file.commit();
}

QString JobName(const QString& queue, int id) { return QStringLiteral("%1-%2").arg(queue).arg(id); }

QString MayStillPrint(const LeftJob& job) {
    if (job.id > 0)
        return Said(PrintFault::JobMayStillPrint, {JobName(job.queue, job.id), job.queue});
    return Said(PrintFault::EmptyJobMayBeLeft, {job.title, job.queue});
}

}  // namespace linomark
