// The print job against a real scheduler (bench/print_job.sh starts a private
// one and points CUPS_SERVER at it): from the click's request to the job
// accepted by the PostScript queue "LaserA4"; the questions about the
// printer alone; and a sheet of three 1 MB leading values, refused as too
// long for their labels.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "print/cups_session.h"
#include "print/print_requests.h"
#include "print_run_sheet.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMegabyte = 1'000'000;

void Print(benchmark::State& state, const char* queue, const linomark::SheetRequest& request) {
    setenv("LPDEST", queue, 1);
    linomark::PrintService service;
    for (auto _ : state) {
        const auto outcome = service.Run(linomark::SheetPrintRequest(request, {}, {}));
        if (!outcome) state.SkipWithError(outcome.Reason().c_str());
    }
}

void ClickToJobAccepted(benchmark::State& state) {
    Print(state, "LaserA4",
          {linomark::LabelType::WithCheck, linomark::FullSheet(linomark::LabelType::WithCheck),
           false});
}
BENCHMARK(ClickToJobAccepted)->Unit(benchmark::kMillisecond);

// Only the destination: what any print has to ask.
void FindDefaultPrinter(benchmark::State& state) {
    setenv("LPDEST", "LaserA4", 1);
    for (auto _ : state) {
        linomark::CupsSession cups(9s);
        if (!cups.Connect() || !cups.FindPrinter({})) state.SkipWithError("no printer");
    }
}
BENCHMARK(FindDefaultPrinter)->Unit(benchmark::kMillisecond);

// The destination, then its paper and margins: the extra questions.
void AskPaperAndMargins(benchmark::State& state) {
    setenv("LPDEST", "LaserA4", 1);
    for (auto _ : state) {
        linomark::CupsSession cups(9s);
        if (!cups.Connect() || !cups.FindPrinter({}) || !cups.ReadPrinterInfo())
            state.SkipWithError("no printer");
        benchmark::DoNotOptimize(cups.PrinterPaper({}).Ok());
    }
}
BENCHMARK(AskPaperAndMargins)->Unit(benchmark::kMillisecond);

// Each column counts up from a 1 MB leading value: ten 1 MB lines a column.
// No page is made: the first label is too long for its place, and the print
// ends in that warning after the printer's questions.
void MegabyteValues(benchmark::State& state) {
    setenv("LPDEST", "Labels", 1);
    const std::u32string leading = std::u32string(kMegabyte - 4, U'A') + U"0000";
    linomark::SheetRequest request{linomark::LabelType::WithCheck, {}, false};
    for (auto& list : request.columnLists) list = linomark::MakeLabelSeries(leading);
    linomark::PrintService service;
    for (auto _ : state) {
        const auto outcome = service.Run(linomark::SheetPrintRequest(request, {}, {}));
        if (outcome || outcome.Reason().find("too long") == std::string::npos)
            state.SkipWithError("the 1 MB value was not refused as too long");
    }
}
BENCHMARK(MegabyteValues)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
