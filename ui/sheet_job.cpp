#include "ui/sheet_job.h"

#include <QThread>

namespace linomark {

SheetJob::SheetJob(QObject* parent) : QObject(parent) {}

SheetJob::~SheetJob() {
    if (!thread) return;
    thread->wait();
    delete thread;
}

bool SheetJob::Start(std::function<PrintResult()> work) {
    if (thread) return false;
    thread = QThread::create([this, work = std::move(work)] { outcome = work(); });
    // Queued to this object's thread: the outcome is read there, after the
    // job's thread has written it and ended.
    connect(thread, &QThread::finished, this, &SheetJob::Finish);
    thread->start();
    return true;
}

void SheetJob::Finish() {
    thread->wait();
    delete thread;
    thread = nullptr;
    emit finished(outcome);
}

}  // namespace linomark
