// The print run of a full type 0 sheet (30 labels): on the page surface into a
// PDF file, and on the recording surface for the cost of the run's own logic.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include "drawing/page_surface.h"
#include "drawing/recording_surface.h"
#include "print_run_sheet.h"

namespace {

void PrintRunToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sheet.pdf"));
    const linomark::ColumnLists sheet = linomark::FullSheet(linomark::LabelType::WithCheck);
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        linomark::SetUpPdfPrinter(printer, file);
        linomark::PageSurface page(printer);
        linomark::PrintSheet(page, linomark::LabelType::WithCheck, sheet);
    }
}
BENCHMARK(PrintRunToPdf)->Unit(benchmark::kMillisecond);

void PrintRunRecorded(benchmark::State& state) {
    const linomark::ColumnLists sheet = linomark::FullSheet(linomark::LabelType::WithCheck);
    for (auto _ : state) {
        linomark::RecordingSurface page;
        linomark::PrintSheet(page, linomark::LabelType::WithCheck, sheet);
        benchmark::DoNotOptimize(page.Ops().data());
    }
}
BENCHMARK(PrintRunRecorded)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
