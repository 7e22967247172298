// One print or save at a time, off the window's thread, so the window keeps
// answering while CUPS is asked and the page is made; the outcome comes back
// on the window's thread.
#pragma once

#include <QObject>
#include <functional>

#include "sheet/print_job.h"

class QThread;

namespace linomark {

class SheetJob : public QObject {
    Q_OBJECT

public:
    explicit SheetJob(QObject* parent = nullptr);
    // A job still running is waited for: it ends within its own time limit,
    // and a sheet the user asked for still goes out.
    ~SheetJob() override;

    // False, and nothing started, while another job runs.
    bool Start(std::function<PrintResult()> work);

signals:
    void finished(const linomark::PrintResult& result);

private:
    void Finish();

    QThread* thread = nullptr;
    PrintResult outcome;
};

}  // namespace linomark
