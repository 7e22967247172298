// Prints what the program's command line cannot ask for, as the Print button
// and its menu do, with the alignment offsets stored for the printer; the
// tests ask everything else of the program itself (linomark --print, --pdf).
//
//   print_driver [--save-pdf FILE] --columns LABEL_TYPE LIST1 LIST2 LIST3
//       each column holds the given text as it is ("\r\n" separates lines),
//       as the window's edited lists do; with --save-pdf, the page Print
//       would send, saved as FILE;
//   print_driver --alignment-sheet LABEL_TYPE
//       the alignment sheet of the label type.
//
// Exits 0 when the sheet went to the printer (or the file). Otherwise the
// reason goes to standard error and the exit status is 1; a wrong command
// line gives 2.

#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "print/print_requests.h"
#include "settings/alignment_store.h"

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

bool Parse(QStringList arguments, Command& command) {
    if (arguments.value(0) == QLatin1String("--save-pdf") && arguments.size() > 1) {
        command.saveAs = arguments.at(1);
        arguments = arguments.mid(2);
    }
    const QString mode = arguments.value(0);
    if (mode == QLatin1String("--alignment-sheet")) {
        command.request.alignmentSheet = true;
        return arguments.size() == 2 && ReadLabelType(arguments.at(1), command.request.labelType);
    }
    if (mode != QLatin1String("--columns") || arguments.size() != 2 + linomark::kColumnCount ||
        !ReadLabelType(arguments.at(1), command.request.labelType)) {
        return false;
    }
    for (int column = 0; column < linomark::kColumnCount; ++column) {
        command.request.columnLists[column] = arguments.at(2 + column).toStdU32String();
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Command command;
    if (!Parse(QGuiApplication::arguments().mid(1), command)) {
        std::fputs(
            "usage: print_driver [--save-pdf FILE] --columns LABEL_TYPE(0|1) LIST1 LIST2 LIST3\n"
            "       print_driver --alignment-sheet LABEL_TYPE(0|1)\n",
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
