// What both benchmarks print: three full columns of ten labels each, as the
// column editors generate them from A0000, B0000, C0000 (six-character values
// for type 1), on an A4 PDF page without margins, as the print job sets it up.
#pragma once

#include <QPageLayout>
#include <QPrinter>

#include "sheet/sheet.h"
#include "symbology/label_series.h"

namespace linomark {

inline ColumnLists FullSheet(LabelType labelType) {
    if (labelType == LabelType::WithoutCheck) {
        return {MakeLabelSeries(U"A00000"), MakeLabelSeries(U"B00000"), MakeLabelSeries(U"C00000")};
    }
    return {MakeLabelSeries(U"A0000"), MakeLabelSeries(U"B0000"), MakeLabelSeries(U"C0000")};
}

inline void SetUpPdfPrinter(QPrinter& printer, const QString& fileName) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}));
}

}  // namespace linomark
