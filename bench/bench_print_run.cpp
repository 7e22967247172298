// The print run of a full type 0 sheet (30 labels): on the page surface into a
// PDF in memory, and on the recording surface for the cost of the run's own
// logic; and a sheet of three 1 MB leading values, whose work the page bounds.
// Also a run of 1,000 LTO labels on a4-2x15 stock (34 pages) into one PDF.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "print_run_sheet.h"
#include "recording_surface.h"
#include "sheet/lto_run.h"
#include "sheet/page_pdf.h"
#include "sheet/placement.h"

namespace {

void PrintRunToPdf(benchmark::State& state) {
    const linomark::ColumnLists sheet = linomark::FullSheet(linomark::LabelType::WithCheck);
    for (auto _ : state) {
        const linomark::Outcome<QByteArray> page = linomark::MakePagePdf(
            linomark::A4Paper(), {}, QStringLiteral("label sheet"),
            [&](linomark::DrawingSurface& surface) {
                linomark::PrintSheet(surface, linomark::LabelType::WithCheck, sheet);
            });
        benchmark::DoNotOptimize(page.Ok());
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

void LtoRunToPdf(benchmark::State& state) {
    const linomark::LtoJob job{*linomark::LtoStockById("a4-2x15"),
                               linomark::SerialRun("ABC000", 1000, "L9").Value(), 1, true, false};
    const auto plan = linomark::PlanLtoJob(job).Value();
    // Nominal widths (0) and a 600 dpi printer's whole dots.
    const linomark::PagePlacement placement{plan.paper, {}, {}, static_cast<int>(state.range(0))};
    for (auto _ : state) {
        const auto pdf = linomark::MakeLtoPdf(plan, placement);
        benchmark::DoNotOptimize(pdf.Value().data());
    }
}
BENCHMARK(LtoRunToPdf)->Arg(0)->Arg(600)->Unit(benchmark::kMillisecond);

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
