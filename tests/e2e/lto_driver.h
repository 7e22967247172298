// The LTO mode of the print driver: makes the run's pages with MakeLtoPdf
// and hands them to the default printer as the program does, on the stock's
// paper, with the printer's margins and the offset stored for its queue.
#pragma once

#include <QStringList>
#include <chrono>
#include <cstdio>

#include "sheet/cups_session.h"
#include "sheet/lto_run.h"
#include "ui/alignment_store.h"

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
    linomark::CupsSession session(std::chrono::seconds(10));
    for (auto step : {&linomark::CupsSession::Connect, &linomark::CupsSession::FindDefaultPrinter,
                      &linomark::CupsSession::ReadPrinterInfo}) {
        if (QString reason = (session.*step)(); !reason.isEmpty()) return reason;
    }
    const auto pdf = linomark::MakeLtoPdf(job, session.PrinterPaper().margins,
                                          linomark::ReadAlignment(session.QueueName()));
    if (!pdf) return QString::fromStdString(pdf.Reason());
    return session.Submit(pdf.Value(), *linomark::PaperNamed(job.stock.paper), "LTO labels");
}

int RunLto(const QStringList& arguments) {
    const auto job = ReadLtoJob(arguments);
    const QString reason = job ? PrintLto(job.Value()) : QString::fromStdString(job.Reason());
    if (reason.isEmpty()) return 0;
    std::fprintf(stderr, "%s\n", qUtf8Printable(reason));
    return 1;
}

}  // namespace
