// The LTO mode of the print driver: makes the run's pages with MakeLtoPdf
// and hands them to the default printer as the program does, on the stock's
// paper, with the printer's margins and the offset stored for its queue.
#pragma once

#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <chrono>
#include <cstdio>

#include "sheet/cups_session.h"
#include "sheet/lto_run.h"
#include "ui/alignment_store.h"

namespace {

linomark::Outcome<linomark::LtoJob> ReadLtoJob(const QStringList& a) {
    const linomark::SheetLayout* stock = linomark::LtoStockById(a.value(0).toStdString());
    if (a.size() < 6 || !stock) return linomark::Fail("usage: --lto STOCK FIRST COUNT MEDIA START MODE [FILE]");
    const std::string media = a.at(3).toStdString();
    auto labels = a.at(1) == QLatin1String("-")
                      ? linomark::SerialList(QTextStream(stdin).readAll().toStdString(), media)
                      : linomark::SerialRun(a.at(1).toStdString(), a.at(2).toInt(), media);
    if (!labels) return linomark::Fail(labels.Reason());
    return linomark::LtoJob{*stock, labels.Value(), a.at(4).toInt(),
                            a.at(5) == QLatin1String("colour"), a.at(5) == QLatin1String("outlines")};
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

QString SaveLto(const linomark::LtoJob& job, const QString& fileName) {
    const auto pdf = linomark::MakeLtoPdf(job, {}, {});
    if (!pdf) return QString::fromStdString(pdf.Reason());
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(pdf.Value()) == pdf.Value().size()) return {};
    return file.errorString();
}

int RunLto(const QStringList& arguments) {
    const auto job = ReadLtoJob(arguments);
    QString reason = !job ? QString::fromStdString(job.Reason())
                     : arguments.size() > 6 ? SaveLto(job.Value(), arguments.at(6))
                                            : PrintLto(job.Value());
    if (reason.isEmpty()) return 0;
    std::fprintf(stderr, "%s\n", qUtf8Printable(reason));
    return 1;
}

}  // namespace
