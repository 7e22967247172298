#include "command_options.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <array>
#include <span>

#include "sheet/sheet_layouts.h"
#include "symbology/lto.h"

namespace linomark {
namespace {

struct OptionRow {
    const char* name;
    const char* valueName;  // nullptr: a switch
    const char* description;
};

// One row an option; the help lists them in this order, one line each.
constexpr std::array kOptions{
    OptionRow{"help", nullptr, "Show this help and exit."},
    OptionRow{"version", nullptr, "Show the version and exit."},
    OptionRow{"pdf", "FILE", "Write the pages to FILE as PDF."},
    OptionRow{"print", nullptr, "Send the pages to the default printer, or to --printer."},
    OptionRow{"printer", "QUEUE", "Use QUEUE instead of the default printer."},
    OptionRow{"dpi", "N", "Make the PDF for the dots of an N-dpi printer."},
    OptionRow{"list-sheets", nullptr, "List the LTO label stock: id, paper, label, grid."},
    OptionRow{"type", "0|1", "Sheet label type: 0 with check character, 1 without."},
    OptionRow{"lto", "FIRST", "LTO labels counting up from FIRST, ABC100 or ABC100L9."},
    OptionRow{"list", "FILE", "LTO labels from FILE (- for stdin): tags or mtx status."},
    OptionRow{"media", "ID", "LTO media ID, such as L9, for serials without their own."},
    OptionRow{"count", "N", "Number of LTO labels (default: the rest of one sheet)."},
    OptionRow{"sheet", "ID", "LTO label stock (default: the one of the printer's paper)."},
    OptionRow{"start", "N", "Start at label N of the first sheet (default 1)."},
    OptionRow{"colour", nullptr, "Colour LTO labels (default for --pdf)."},
    OptionRow{"mono", nullptr, "Black and white LTO labels."},
};
static_assert(kOptions.size() == 16, "one row for each option of the synopsis");

constexpr std::array kLtoOnly{"media", "count", "sheet", "start", "colour", "mono"};

constexpr char kSynopsis[] =
    "Prints sheets of Code 39 labels for tape cartridges; without arguments it opens the "
    "window.\n\n"
    "  linomark --pdf FILE [--printer QUEUE] [--dpi N] [SHEET | LTO]\n"
    "  linomark --print [--printer QUEUE] [SHEET | LTO]\n"
    "  linomark --list-sheets\n"
    "  linomark --lto-labels   the window, with the LTO labels dialog open\n"
    "SHEET: [--type 0|1] [VALUE1 [VALUE2 [VALUE3]]]  leading values of columns 1-3\n"
    "LTO:   --lto FIRST | --list FILE  [--media ID]  [--count N] [--sheet ID] [--start N]\n"
    "       [--colour | --mono]";

void AddOptions(QCommandLineParser& parser) {
    for (const OptionRow& row : kOptions) {
        QCommandLineOption option(QString::fromLatin1(row.name),
                                  QString::fromUtf8(row.description));
        if (row.valueName) option.setValueName(QString::fromLatin1(row.valueName));
        parser.addOption(option);
    }
    parser.setApplicationDescription(QString::fromUtf8(kSynopsis));
    // One name each: Qt breaks a name longer than the options' column.
    for (const char* column : {"1 (A0000)", "2 (B0000)", "3 (C0000)"}) {
        parser.addPositionalArgument(
            QStringLiteral("VALUE") + QLatin1Char(column[0]),
            QStringLiteral("Leading value of column ") + QLatin1String(column) + QLatin1Char('.'));
    }
}

QString Dashed(const char* name) { return QStringLiteral("--") + QLatin1String(name); }

std::optional<int> WholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// Exactly one of --pdf, --print and --list-sheets says what to do.
Outcome<Command::Action> ReadAction(const QCommandLineParser& parser) {
    if (parser.isSet(QStringLiteral("help"))) return Command::Action::Help;
    if (parser.isSet(QStringLiteral("version"))) return Command::Action::Version;
    const bool pdf = parser.isSet(QStringLiteral("pdf"));
    const bool print = parser.isSet(QStringLiteral("print"));
    const bool list = parser.isSet(QStringLiteral("list-sheets"));
    if (pdf + print + list > 1) return Fail("--pdf, --print and --list-sheets exclude each other");
    if (pdf) return Command::Action::Pdf;
    if (print) return Command::Action::Print;
    if (list) return Command::Action::ListSheets;
    return Fail("nothing to do: give --pdf FILE, --print or --list-sheets");
}

Outcome<Done> CheckSheetOptions(const QCommandLineParser& parser, Command& command) {
    constexpr int kMostValues = 3;
    command.values = parser.positionalArguments();
    if (command.values.size() > kMostValues) {
        return Fail("at most three values, one for each column; " +
                    std::to_string(command.values.size()) + " given");
    }
    const QString type = parser.value(QStringLiteral("type"));
    if (type.isEmpty()) return Done{};
    if (type != QLatin1String("0") && type != QLatin1String("1")) {
        return Fail("--type must be 0 or 1, not '" + type.toStdString() + "'");
    }
    command.type = type.toInt();
    return Done{};
}

// The most labels of a sheet: of the stock asked for, else of the largest.
int MostStartPosition(const QString& sheet) {
    if (!sheet.isEmpty()) return LabelsPerSheet(*LtoStockById(sheet.toStdString()));
    int most = 1;
    for (const SheetLayout& stock : LtoStocks()) most = std::max(most, LabelsPerSheet(stock));
    return most;
}

Outcome<int> NumberIn(const QCommandLineParser& parser, const char* name, int most,
                      const std::string& what) {
    const QString text = parser.value(QLatin1String(name));
    const std::optional<int> number = WholeNumber(text);
    if (!number) {
        return Fail(Dashed(name).toStdString() + " must be a whole number, not '" +
                    text.toStdString() + "'");
    }
    if (*number < 1 || *number > most) {
        return Fail(Dashed(name).toStdString() + " must be 1 to " + std::to_string(most) + what +
                    ", not '" + text.toStdString() + "'");
    }
    return *number;
}

Outcome<Done> ReadNumbers(const QCommandLineParser& parser, Command& command) {
    if (parser.isSet(QStringLiteral("count"))) {
        const Outcome<int> count = NumberIn(parser, "count", kLtoMaxCount, "");
        if (!count) return count.Failed();
        command.count = count.Value();
    }
    if (parser.isSet(QStringLiteral("start"))) {
        const int most = MostStartPosition(command.sheet);
        const Outcome<int> start = NumberIn(parser, "start", most, " (the labels of a sheet)");
        if (!start) return start.Failed();
        command.start = start.Value();
    }
    return Done{};
}

// The first serial or tag and the media ID are checked as the dialog checks
// them; a list's lines are read later.
Outcome<Done> CheckLtoValues(const QCommandLineParser& parser, const Command& command) {
    const std::string media = LtoUpper(command.media.toStdString());
    if (parser.isSet(QStringLiteral("media"))) {
        if (auto checked = CheckMediaId(media); !checked)
            return Fail("--media: " + checked.Reason());
    }
    if (parser.isSet(QStringLiteral("lto"))) {
        const Outcome<LtoLabel> tag = ReadTag(command.first.toStdString(), media);
        if (!tag) return Fail("--lto: " + tag.Reason());
    }
    return Done{};
}

// The printers' resolutions run from about 100 dpi (label printers) to 2400.
constexpr int kLeastDpi = 72;
constexpr int kMostDpi = 4800;

Outcome<Done> ReadDpi(const QCommandLineParser& parser, Command& command) {
    if (!parser.isSet(QStringLiteral("dpi"))) return Done{};
    if (command.action != Command::Action::Pdf) return Fail("--dpi goes with --pdf");
    const QString text = parser.value(QStringLiteral("dpi"));
    const std::optional<int> dpi = WholeNumber(text);
    if (!dpi || *dpi < kLeastDpi || *dpi > kMostDpi) {
        return Fail("--dpi must be a whole number of dots per inch from " +
                    std::to_string(kLeastDpi) + " to " + std::to_string(kMostDpi) + ", not '" +
                    text.toStdString() + "'");
    }
    command.dpi = *dpi;
    return Done{};
}

std::string StockIds() {
    std::string ids;
    for (const SheetLayout& stock : LtoStocks()) ids += (ids.empty() ? "" : ", ") + stock.id;
    return ids;
}

Outcome<Done> CheckLtoOptions(const QCommandLineParser& parser, Command& command) {
    command.first = parser.value(QStringLiteral("lto"));
    command.listFile = parser.value(QStringLiteral("list"));
    command.media = parser.value(QStringLiteral("media"));
    command.sheet = parser.value(QStringLiteral("sheet"));
    if (parser.isSet(QStringLiteral("list"))) {
        if (parser.isSet(QStringLiteral("lto"))) return Fail("--lto and --list exclude each other");
        if (parser.isSet(QStringLiteral("count")))
            return Fail("--count goes with --lto, not --list");
    }
    if (parser.isSet(QStringLiteral("type")) || !parser.positionalArguments().isEmpty()) {
        return Fail("--type and column values are for the window's sheet, not for LTO labels");
    }
    // A full tag brings its media ID; a list's lines are read later.
    const bool fullTag = command.first.size() > static_cast<qsizetype>(kLtoSerialLength);
    if (!parser.isSet(QStringLiteral("media")) && parser.isSet(QStringLiteral("lto")) && !fullTag)
        return Fail("--media ID is required unless FIRST is a full tag such as ABC100L9");
    if (!command.sheet.isEmpty() && !LtoStockById(command.sheet.toStdString())) {
        return Fail("--sheet: no stock '" + command.sheet.toStdString() + "' (" + StockIds() + ")");
    }
    const bool colour = parser.isSet(QStringLiteral("colour"));
    const bool mono = parser.isSet(QStringLiteral("mono"));
    if (colour && mono) return Fail("--colour and --mono exclude each other");
    if (colour || mono) command.colour = colour;
    if (auto values = CheckLtoValues(parser, command); !values) return values;
    return ReadNumbers(parser, command);
}

// An empty value (an empty variable in a script) would silently mean the
// default: the default printer, the window's type, the printer's stock.
Outcome<Done> CheckNoneEmpty(const QCommandLineParser& parser) {
    for (const OptionRow& row : kOptions) {
        const QString name = QString::fromLatin1(row.name);
        if (row.valueName && parser.isSet(name) && parser.value(name).isEmpty()) {
            return Fail(Dashed(row.name).toStdString() + " needs a value (" + row.valueName +
                        "), not an empty one");
        }
    }
    if (parser.value(QStringLiteral("pdf")) == QLatin1String("-")) {
        return Fail("--pdf needs a file name; it does not write to standard output");
    }
    return Done{};
}

Outcome<Done> CheckOptions(const QCommandLineParser& parser, Command& command) {
    if (auto given = CheckNoneEmpty(parser); !given) return given;
    if (command.action == Command::Action::ListSheets &&
        (parser.optionNames().size() > 1 || !parser.positionalArguments().isEmpty())) {
        return Fail("--list-sheets takes no other option");
    }
    command.file = parser.value(QStringLiteral("pdf"));
    command.printer = parser.value(QStringLiteral("printer"));
    if (auto dpi = ReadDpi(parser, command); !dpi) return dpi;
    command.lto = parser.isSet(QStringLiteral("lto")) || parser.isSet(QStringLiteral("list"));
    if (command.lto) return CheckLtoOptions(parser, command);
    for (const char* name : kLtoOnly) {
        if (parser.isSet(QLatin1String(name))) {
            return Fail(Dashed(name).toStdString() + " goes with --lto or --list");
        }
    }
    return CheckSheetOptions(parser, command);
}

}  // namespace

Outcome<Command> ReadCommand(const QStringList& arguments) {
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QStringList{QStringLiteral("linomark")} + arguments)) {
        return Fail(parser.errorText().toStdString());
    }
    const Outcome<Command::Action> action = ReadAction(parser);
    if (!action) return action.Failed();
    Command command;
    command.action = action.Value();
    if (command.action == Command::Action::Help || command.action == Command::Action::Version) {
        return command;
    }
    const Outcome<Done> checked = CheckOptions(parser, command);
    if (!checked) return checked.Failed();
    return command;
}

// Qt's first line names the program by the path it was started from.
QString HelpText() {
    QCommandLineParser parser;
    AddOptions(parser);
    return QStringLiteral("Usage: linomark [options] [VALUE1 [VALUE2 [VALUE3]]]\n") +
           parser.helpText().section(QLatin1Char('\n'), 1);
}

}  // namespace linomark
