#include "command_line.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <string_view>
#include <thread>

#include "command_options.h"
#include "label_pages.h"
#include "linomark_config.h"
#include "print/print_service.h"
#include "printable_text.h"
#include "settings/alignment_store.h"
#include "sheet/lto_run.h"
#include "symbology/lto_list.h"
#include "system/termination.h"

namespace linomark {
namespace {

using namespace std::chrono_literals;

constexpr int kFailed = 1;
constexpr int kUsageError = 2;
// After a termination signal a hand-over has this long to give up its waits
// and cancel the job it created (it needs under a second).
constexpr auto kSignalGrace = 3s;
constexpr auto kSignalStep = 100ms;

void SayError(const std::string& line) {
    const std::string shown = "linomark: " + Printable(line) + "\n";
    std::fwrite(shown.data(), 1, shown.size(), stderr);
}

int Failed(const std::string& reason) {
    SayError(reason);
    return kFailed;
}

int UsageError(const std::string& reason) {
    SayError(reason);
    std::fputs("Try 'linomark --help'.\n", stderr);
    return kUsageError;
}

// Standard output that could not be written (a full disk, a closed pipe) is
// a failure, not a success.
int Written(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    return Failed(std::string("standard output could not be written: ") + std::strerror(errno));
}

std::string SignalName(int signalNumber) {
    const char* name = sigabbrev_np(signalNumber);
    return std::string("SIG") + (name ? name : "?");
}

QString Counted(int count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// The printer the pages are made for, asked on the service's thread.
Outcome<PrinterFacts> AskPrinter(PrintService& service, const QString& queue) {
    std::optional<Outcome<PrinterFacts>> answer;
    QEventLoop loop;
    QObject::connect(&service, &PrintService::printerAnswered, &loop,
                     [&answer, &loop](const Outcome<PrinterFacts>& facts) {
                         answer = facts;
                         loop.quit();
                     });
    service.AskPrinter(queue);
    loop.exec();
    return *answer;
}

PrintTarget TargetOf(const Command& command) {
    if (command.action == Command::Action::Pdf) {
        return {PrintTarget::Kind::File, command.file, command.printer};
    }
    if (command.printer.isEmpty()) return {PrintTarget::Kind::DefaultPrinter, {}, {}};
    return {PrintTarget::Kind::Queue, command.printer, {}};
}

// The LTO defaults that depend on the printer: the stock of its paper, and
// colour as it prints. A PDF is made without a printer when there is none:
// on the system's paper, in colour.
Outcome<LtoDefaults> PrinterDefaults(PrintService& service, const Command& command) {
    const bool print = command.action == Command::Action::Print;
    if (!command.sheet.isEmpty() && (command.colour.has_value() || !print)) return LtoDefaults{};
    const Outcome<PrinterFacts> facts = AskPrinter(service, command.printer);
    if (facts)
        return LtoDefaults{facts.Value().paper, facts.Value().colour, facts.Value().dotsPerInch};
    if (print) return facts.Failed();
    return LtoDefaults{SystemPaper(), true, 0};
}

// The offsets are read here, on the caller's thread; the settings are only
// read.
// What a termination signal needs to know of the run.
struct RunState {
    std::atomic<bool> stop = false;
    std::atomic<bool> makingPages = false;
    std::promise<void> ended;
    // A --start past the sheet of the printer's paper: known only once the
    // printer has answered, and still a usage error.
    bool startPastSheet = false;
};

Outcome<LabelPages> PagesOf(PrintService& service, const Command& command, RunState& run) {
    PrintRequest base;
    base.target = TargetOf(command);
    base.offsets = ReadAlignments();
    base.dotsPerInch = command.dpi;
    if (!command.lto) return WindowSheetPages(command, base);
    const Outcome<LtoDefaults> defaults = PrinterDefaults(service, command);
    if (!defaults) return defaults.Failed();
    const SheetLayout& stock = LtoStockOf(command, defaults.Value());
    if (command.start > LabelsPerSheet(stock)) {
        run.startPastSheet = true;
        return Fail("--start must be 1 to " + std::to_string(LabelsPerSheet(stock)) +
                    " (the labels of a sheet of " + stock.id +
                    ", the stock of the printer's "
                    "paper), not '" +
                    std::to_string(command.start) + "'");
    }
    return LtoRunPages(command, defaults.Value(), base, run.stop);
}

// The pages are drawn once the font configuration is loaded; until then the
// service asks the printer, so the two waits overlap.
MakePages AfterFonts(MakePages pages, std::shared_future<void> fontsLoaded, RunState& run) {
    return [pages = std::move(pages), fontsLoaded, &run](const PagePlacement& placement) {
        run.makingPages = true;
        fontsLoaded.wait();
        Outcome<QByteArray> made = pages(placement);
        run.makingPages = false;
        return made;
    };
}

// The line said on success: what was written or sent, and where.
Outcome<QString> Deliver(PrintService& service, const Command& command,
                         const std::shared_future<void>& fontsLoaded, RunState& run) {
    Outcome<LabelPages> pages = PagesOf(service, command, run);
    if (!pages)
        return Fail(run.stop ? std::string("Nothing was written or sent.") : pages.Reason());
    if (run.stop) return Fail("Nothing was written or sent.");
    LabelPages& made = pages.Value();
    made.request.pages = AfterFonts(std::move(made.request.pages), fontsLoaded, run);
    const Outcome<PrintReceipt> receipt = service.Run(std::move(made.request));
    if (!receipt) return receipt.Failed();
    if (receipt.Value().paused) {
        SayError(QStringLiteral("the printer %1 is paused; the job waits in its queue until "
                                "`cupsenable %1`.")
                     .arg(receipt.Value().queue)
                     .toStdString());
    }
    // LTO labels name the stock and the cells, so a wrong stock is seen.
    const QString held = Counted(made.labels, "label", "labels") + QStringLiteral(" on ") +
                         (made.cells.isEmpty() ? Counted(made.sheets, "sheet", "sheets")
                                               : made.cells + QLatin1Char(','));
    const QString untagged = QString::fromStdString(UntaggedSentence(made.untagged));
    const QString after = untagged.isEmpty() ? QString() : QLatin1Char('\n') + untagged;
    if (command.action == Command::Action::Pdf) {
        return QStringLiteral("%1 written to %2").arg(held, command.file) + after;
    }
    return QStringLiteral("%1 sent to %2 (job %3)")
               .arg(held, receipt.Value().queue)
               .arg(receipt.Value().jobId) +
           after;
}

// A termination signal stops every wait of the run, again at each step (a
// request the service takes afterwards would lower its flag), and a job the
// run created is cancelled. Pages being made are not waited for: nothing is
// written or created until they are done.
void StopOnSignal(int signalNumber, PrintService& service, RunState& run,
                  const std::shared_future<void>& ended) {
    run.stop = true;
    const std::string signal = "ended by a termination signal (" + SignalName(signalNumber) + ")";
    for (auto waited = 0ms; waited < kSignalGrace; waited += kSignalStep) {
        service.CancelAll();
        if (run.makingPages) {
            SayError(signal + " while the labels were made. Nothing was written or sent.");
            std::_Exit(kFailed);
        }
        if (ended.wait_for(kSignalStep) == std::future_status::ready) return;
    }
    SayError(signal + " before the printing service let go; `lpstat -o` lists what may print.");
    std::_Exit(kFailed);
}

int Print(const Command& command, const std::shared_future<void>& fontsLoaded) {
    RunState run;
    const std::shared_future<void> ended = run.ended.get_future().share();
    PrintService service;
    const TerminationWatch watch([&service, &run, ended](int signalNumber) {
        StopOnSignal(signalNumber, service, run, ended);
    });
    const Outcome<QString> done = Deliver(service, command, fontsLoaded, run);
    run.ended.set_value();
    if (!done && watch.Received() != 0) {
        return Failed("ended by a termination signal (" + SignalName(watch.Received()) + "). " +
                      done.Reason());
    }
    if (!done && run.startPastSheet) return UsageError(done.Reason());
    if (!done) return Failed(done.Reason());
    return Written(done.Value().toStdString() + "\n");
}

int Perform(const Command& command, const std::shared_future<void>& fontsLoaded) {
    switch (command.action) {
        case Command::Action::Help:
            return Written(HelpText().toStdString());
        case Command::Action::Version:
            return Written(std::string("linomark ") + kVersion + "\n");
        case Command::Action::ListSheets:
            return Written(StockTable().toStdString());
        case Command::Action::Pdf:
        case Command::Action::Print:
            break;
    }
    return Print(command, fontsLoaded);
}

}  // namespace

bool WantsCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool qtChoice = argument == "-platform" || argument == "--platform" ||
                              argument == "-display" || argument == "--display";
        if (argument == kLtoLabelsOption) continue;
        if (!qtChoice) return true;
        ++i;  // the platform's or the display's name
    }
    return false;
}

bool WantsLtoLabels(int argc, char** argv) {
    return std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return argument == std::string_view(kLtoLabelsOption);
    });
}

namespace {

// Qt warns on standard error when XDG_RUNTIME_DIR is unset or not the
// user's own private folder (under cron, su or a service); Qt's own choice,
// /tmp/runtime-UID, is made and given to it instead, or a new folder when
// that one is someone else's.
bool OwnPrivateFolder(const char* path) {
    struct stat folder {};
    return path && *path == '/' && ::lstat(path, &folder) == 0 && S_ISDIR(folder.st_mode) &&
           folder.st_uid == ::geteuid() && (folder.st_mode & 0777) == 0700;
}

void ProvideRuntimeFolder() {
    if (OwnPrivateFolder(std::getenv("XDG_RUNTIME_DIR"))) return;
    const std::string usual = "/tmp/runtime-" + std::to_string(::geteuid());
    ::mkdir(usual.c_str(), 0700);
    if (OwnPrivateFolder(usual.c_str())) {
        ::setenv("XDG_RUNTIME_DIR", usual.c_str(), 1);
        return;
    }
    char made[] = "/tmp/linomark-runtime-XXXXXX";
    if (::mkdtemp(made)) ::setenv("XDG_RUNTIME_DIR", made, 1);
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    // No window is shown, so no display is needed; the offscreen platform
    // measures text with the same fonts as the window, so the pages match.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ProvideRuntimeFolder();
    BlockTerminationSignals();
    std::promise<void> fontsLoaded;
    const std::jthread loadFontConfiguration([&fontsLoaded] {
        FcInit();
        fontsLoaded.set_value();
    });
    QGuiApplication app(argc, argv);
    const Outcome<Command> command = ReadCommand(QGuiApplication::arguments().mid(1));
    if (!command) return UsageError(command.Reason());
    return Perform(command.Value(), fontsLoaded.get_future().share());
}

}  // namespace linomark
