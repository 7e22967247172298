// The LTO mode of the print driver: the run's pages, made with MakeLtoPdf,
// go to the default printer through the print service as the program sends
// them, on the stock's paper, with the printer's margins and the offset
// stored for its queue.
#pragma once

#include <QStringList>
#include <cstdio>

#include "print/print_requests.h"
#include "settings/alignment_store.h"
#include "sheet/lto_run.h"

namespace {

// STOCK FIRST COUNT MEDIA START colour|mono|outlines
linomark::Outcome<linomark::LtoJob> ReadLtoJob(const QStringList& a) {
    const linomark::SheetLayout* stock = linomark::LtoStockById(a.value(0).toStdString());
    if (a.size() != 6 || !stock)
        return linomark::Fail("usage: --lto STOCK FIRST COUNT MEDIA START MODE");
    auto labels =
        linomark::SerialRun(a.at(1).toStdString(), a.at(2).toInt(), a.at(3).toStdString());
    if (!labels) return linomark::Fail(labels.Reason());
    return linomark::LtoJob{*stock, labels.Value(), a.at(4).toInt(),
                            a.at(5) == QLatin1String("colour"),
                            a.at(5) == QLatin1String("outlines")};
}

QString PrintLto(const linomark::LtoJob& job) {
    const auto plan = linomark::PlanLtoJob(job);
    if (!plan) return QString::fromStdString(plan.Reason());
    const auto outcome = linomark::PrintService().Run(linomark::LtoPrintRequest(
        plan.Value(), {}, linomark::ReadAlignments(), QStringLiteral("LTO labels")));
    return outcome ? QString() : QString::fromStdString(outcome.Reason());
}

int RunLto(const QStringList& arguments) {
    const auto job = ReadLtoJob(arguments);
    const QString reason = job ? PrintLto(job.Value()) : QString::fromStdString(job.Reason());
    if (reason.isEmpty()) return 0;
    std::fprintf(stderr, "%s\n", qUtf8Printable(reason));
    return 1;
}

}  // namespace
