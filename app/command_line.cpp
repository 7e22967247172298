#include "command_line.h"

#include <fontconfig/fontconfig.h>

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <future>
#include <string_view>
#include <thread>

#include "command_options.h"
#include "label_pages.h"
#include "linomark_config.h"
#include "print/print_service.h"
#include "settings/alignment_store.h"
#include "sheet/lto_run.h"
#include "system/termination.h"

namespace linomark {
namespace {

constexpr int kFailed = 1;
constexpr int kUsageError = 2;

int Failed(const std::string& reason) {
    std::fprintf(stderr, "linomark: %s\n", reason.c_str());
    return kFailed;
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
    if (print) return Fail(facts.Reason());
    return LtoDefaults{SystemPaper(), true, 0};
}

// The offsets are read here, on the caller's thread; the settings are only
// read.
Outcome<LabelPages> PagesOf(PrintService& service, const Command& command) {
    PrintRequest base;
    base.target = TargetOf(command);
    base.offsets = ReadAlignments();
    base.dotsPerInch = command.dpi;
    if (!command.lto) return WindowSheetPages(command, base);
    const Outcome<LtoDefaults> defaults = PrinterDefaults(service, command);
    if (!defaults) return Fail(defaults.Reason());
    return LtoRunPages(command, defaults.Value(), base);
}

// The line said on success: what was written or sent, and where.
// The pages are drawn once the font configuration is loaded; until then the
// service asks the printer, so the two waits overlap.
MakePages AfterFonts(MakePages pages, std::shared_future<void> fontsLoaded) {
    return [pages = std::move(pages), fontsLoaded](const PagePlacement& placement) {
        fontsLoaded.wait();
        return pages(placement);
    };
}

Outcome<QString> Deliver(PrintService& service, const Command& command,
                         const std::shared_future<void>& fontsLoaded) {
    Outcome<LabelPages> pages = PagesOf(service, command);
    if (!pages) return Fail(pages.Reason());
    LabelPages& made = pages.Value();
    made.request.pages = AfterFonts(std::move(made.request.pages), fontsLoaded);
    const Outcome<PrintReceipt> receipt = service.Run(std::move(made.request));
    if (!receipt) return Fail(receipt.Reason());
    const QString held = Counted(made.labels, "label", "labels") + QStringLiteral(" on ") +
                         Counted(made.sheets, "sheet", "sheets");
    if (command.action == Command::Action::Pdf) {
        return QStringLiteral("%1 written to %2").arg(held, command.file);
    }
    return QStringLiteral("%1 sent to %2 (job %3)")
        .arg(held, receipt.Value().queue)
        .arg(receipt.Value().jobId);
}

int Print(const Command& command, const std::shared_future<void>& fontsLoaded) {
    PrintService service;
    const TerminationWatch watch([&service](int) { service.CancelAll(); });
    const Outcome<QString> done = Deliver(service, command, fontsLoaded);
    if (!done && watch.Received() != 0) {
        return Failed("ended by a termination signal; the job in flight was cancelled.");
    }
    if (!done) return Failed(done.Reason());
    std::printf("%s\n", qUtf8Printable(done.Value()));
    return 0;
}

int Perform(const Command& command, const std::shared_future<void>& fontsLoaded) {
    switch (command.action) {
        case Command::Action::Help:
            std::printf("%s", qUtf8Printable(HelpText()));
            return 0;
        case Command::Action::Version:
            std::printf("linomark %s\n", kVersion);
            return 0;
        case Command::Action::ListSheets:
            std::printf("%s", qUtf8Printable(StockTable()));
            return 0;
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
        if (!qtChoice) return true;
        ++i;  // the platform's or the display's name
    }
    return false;
}

int RunCommandLine(int argc, char** argv) {
    // No window is shown, so no display is needed; the offscreen platform
    // measures text with the same fonts as the window, so the pages match.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    BlockTerminationSignals();
    std::promise<void> fontsLoaded;
    const std::jthread loadFontConfiguration([&fontsLoaded] {
        FcInit();
        fontsLoaded.set_value();
    });
    QGuiApplication app(argc, argv);
    const Outcome<Command> command = ReadCommand(QGuiApplication::arguments().mid(1));
    if (!command) {
        std::fprintf(stderr, "linomark: %s\nTry 'linomark --help'.\n", command.Reason().c_str());
        return kUsageError;
    }
    return Perform(command.Value(), fontsLoaded.get_future().share());
}

}  // namespace linomark
