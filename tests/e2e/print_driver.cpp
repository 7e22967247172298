// Prints one sheet on the default printer, as the Print button and its menu
// do, with the alignment offsets stored for the printer.
//
//   print_driver LABEL_TYPE LEADING1 LEADING2 LEADING3
//       each column holds the label series of its leading value;
//   print_driver --columns LABEL_TYPE LIST1 LIST2 LIST3
//       each column holds the given text as it is ("\r\n" separates lines);
//   print_driver --alignment-sheet LABEL_TYPE
//       the alignment sheet of the label type;
//   print_driver --save-pdf FILE LABEL_TYPE LEADING1 LEADING2 LEADING3
//       the page Print would send, saved as FILE;
//   print_driver --lto STOCK FIRST COUNT MEDIA START colour|mono|outlines
//       an LTO run on label stock, as the LTO dialog prints it.
//
// Exits 0 when the sheet went to the printer (or the file). Otherwise the
// reason goes to standard error and the exit status is 1; a wrong command
// line gives 2.

#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "lto_driver.h"
#include "print/print_requests.h"
#include "settings/alignment_store.h"
#include "symbology/label_series.h"

namespace {

constexpr int kUsageError = 2;

struct Command {
    linomark::SheetRequest request;
    QString saveAs;  // empty: print
};

bool ReadLabelType(const QString& argument, linomark::LabelType& labelType) {
    if (argument != QLatin1String("0") && argument != QLatin1String("1")) {
        return false;
    }
    labelType = linomark::LabelTypeFromIndex(argument.toInt());
    return true;
}

// The lists from the last three arguments: as given, or as label series.
linomark::ColumnLists MakeColumnLists(const QStringList& texts, bool asGiven) {
    linomark::ColumnLists lists;
    for (int column = 0; column < linomark::kColumnCount; ++column) {
        const std::u32string text = texts.at(column).toStdU32String();
        lists[column] = asGiven ? text : linomark::MakeLabelSeries(text);
    }
    return lists;
}

bool Parse(QStringList arguments, Command& command) {
    const QString mode = arguments.isEmpty() ? QString() : arguments.first();
    if (mode == QLatin1String("--alignment-sheet")) {
        command.request.alignmentSheet = true;
        return arguments.size() == 2 && ReadLabelType(arguments.at(1), command.request.labelType);
    }
    const bool asGiven = mode == QLatin1String("--columns");
    if (asGiven) arguments.removeFirst();
    if (mode == QLatin1String("--save-pdf") && arguments.size() > 1) {
        command.saveAs = arguments.at(1);
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 1 + linomark::kColumnCount ||
        !ReadLabelType(arguments.first(), command.request.labelType)) {
        return false;
    }
    command.request.columnLists = MakeColumnLists(arguments.mid(1), asGiven);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (QGuiApplication::arguments().value(1) == QLatin1String("--lto")) {
        return RunLto(QGuiApplication::arguments().mid(2));
    }
    Command command;
    if (!Parse(QGuiApplication::arguments().mid(1), command)) {
        std::fputs(
            "usage: print_driver [--columns | --save-pdf FILE] LABEL_TYPE(0|1) COLUMN1 COLUMN2 "
            "COLUMN3\n       print_driver --alignment-sheet LABEL_TYPE(0|1)\n",
            stderr);
        return kUsageError;
    }
    using Kind = linomark::PrintTarget::Kind;
    const linomark::PrintTarget target{
        command.saveAs.isEmpty() ? Kind::DefaultPrinter : Kind::File, command.saveAs, {}};
    linomark::PrintService service;
    const auto outcome = service.Run(
        linomark::SheetPrintRequest(command.request, target, linomark::ReadAlignments()));
    if (!outcome) {
        std::fprintf(stderr, "%s\n", outcome.Reason().c_str());
        return 1;
    }
    return 0;
}
