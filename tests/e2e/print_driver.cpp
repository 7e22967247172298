// Prints one label sheet on the default printer, as the Print button does.
//
//   print_driver LABEL_TYPE LEADING1 LEADING2 LEADING3
//       each column holds the label series of its leading value;
//   print_driver --columns LABEL_TYPE LIST1 LIST2 LIST3
//       each column holds the given text as it is ("\r\n" separates lines).
//
// Exits 0 when the sheet went to the printer. Otherwise the reason goes to
// standard error and the exit status is 1; a wrong command line gives 2.

#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "sheet/print_job.h"
#include "symbology/label_series.h"

namespace {

constexpr int kUsageError = 2;

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

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList arguments = QGuiApplication::arguments().mid(1);
    const bool asGiven = !arguments.isEmpty() && arguments.first() == QLatin1String("--columns");
    if (asGiven) {
        arguments.removeFirst();
    }
    linomark::LabelType labelType = linomark::LabelType::WithCheck;
    if (arguments.size() != 1 + linomark::kColumnCount ||
        !ReadLabelType(arguments.first(), labelType)) {
        std::fputs("usage: print_driver [--columns] LABEL_TYPE(0|1) COLUMN1 COLUMN2 COLUMN3\n",
                   stderr);
        return kUsageError;
    }

    const linomark::PrintResult result =
        linomark::PrintSheetOnDefaultPrinter(labelType, MakeColumnLists(arguments.mid(1), asGiven));
    if (!result.printed) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(result.reason));
        return 1;
    }
    return 0;
}
