#include "print/print_service.h"

#include <exception>
#include <future>
#include <memory>

#include "print/print_delivery.h"

namespace linomark {
namespace {

// Whatever a request's pages or libcups throw ends as that request's failure:
// the thread goes on with the next one.
template <class T, class Work>
Outcome<T> Guarded(Work&& work) {
    try {
        return work();
    } catch (const std::exception& error) {
        return Fail(std::string("The labels could not be made: ") + error.what());
    } catch (...) {
        return Fail("The labels could not be made: an unexpected error.");
    }
}

}  // namespace

PrintService::PrintService(QObject* parent) : QObject(parent), worker([this] { Work(); }) {}

PrintService::~PrintService() {
    {
        const std::lock_guard lock(mutex);
        quitting = true;
    }
    CancelAll();
    worker.join();
}

quint64 PrintService::Submit(PrintRequest request) {
    const quint64 ticket = ++lastTicket;
    ++pending;
    Enqueue({[this, ticket, request = std::move(request)] {
                 const Outcome<PrintReceipt> outcome =
                     Guarded<PrintReceipt>([&] { return Deliver(request, stop, leftJobs); });
                 // Told on the service's own thread; Pending() counts the request
                 // until then.
                 QMetaObject::invokeMethod(
                     this,
                     [this, ticket, outcome] {
                         --pending;
                         emit finished(ticket, outcome);
                     },
                     Qt::QueuedConnection);
             },
             true});
    return ticket;
}

Outcome<PrintReceipt> PrintService::Run(PrintRequest request) {
    auto answer = std::make_shared<std::promise<Outcome<PrintReceipt>>>();
    std::future<Outcome<PrintReceipt>> outcome = answer->get_future();
    Enqueue({[this, answer, request = std::move(request)] {
        answer->set_value(Guarded<PrintReceipt>([&] { return Deliver(request, stop, leftJobs); }));
    }});
    try {
        return outcome.get();
    } catch (const std::future_error&) {  // dropped by CancelAll before it ran
        return Fail("Printing was cancelled.");
    }
}

void PrintService::AskPrinter(const QString& queue) {
    Enqueue({[this, queue] {
        const Outcome<PrinterFacts> facts =
            Guarded<PrinterFacts>([&] { return DescribePrinter(queue, stop); });
        QMetaObject::invokeMethod(
            this, [this, facts] { emit printerAnswered(facts); }, Qt::QueuedConnection);
    }});
}

int PrintService::Pending() const { return pending; }

// The queued requests are dropped and never told; the one in flight ends with
// its failure. A request submitted afterwards runs as usual.
void PrintService::CancelAll() {
    const std::lock_guard lock(mutex);
    pending -=
        static_cast<int>(std::erase_if(tasks, [](const Task& task) { return task.submitted; }));
    tasks.clear();
    stop = true;
    wake.notify_one();
}

void PrintService::Enqueue(Task task) {
    const std::lock_guard lock(mutex);
    tasks.push_back(std::move(task));
    wake.notify_one();
}

// One task at a time, in the order they came. The stop flag is lowered as a
// task is taken: a cancel reaches only what was there when it came.
void PrintService::Work() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return quitting || !tasks.empty(); });
            if (quitting) return;
            task = std::move(tasks.front());
            tasks.pop_front();
            stop = false;
        }
        task.work();
    }
}

}  // namespace linomark
