// The print run of a full type 0 sheet (30 labels): on the page surface into a
// PDF in memory, and on the recording surface for the cost of the run's own
// logic; and a sheet of three 1 MB leading values, whose work the page bounds.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "recording_surface.h"
#include "print_run_sheet.h"
#include "sheet/page_pdf.h"

namespace {

void PrintRunToPdf(benchmark::State& state) {
    const linomark::ColumnLists sheet = linomark::FullSheet(linomark::LabelType::WithCheck);
    for (auto _ : state) {
        const linomark::PagePdf page = linomark::MakePagePdf(
            linomark::A4Paper(), {}, QStringLiteral("label sheet"),
            [&](linomark::DrawingSurface& surface) {
                linomark::PrintSheet(surface, linomark::LabelType::WithCheck, sheet);
            });
        benchmark::DoNotOptimize(page.pdf.data());
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
