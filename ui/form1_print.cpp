// The Print button and its menu: the label sheet, the alignment sheet, the
// alignment offsets of the default printer, the sheet saved as PDF, and the
// LTO labels dialog. Every
// print and save runs off the window's thread, one at a time, so the window
// keeps answering however long CUPS takes; the outcome comes back to
// SheetJob_Finished.
#include <QComboBox>
#include <QFileDialog>
#include <QStandardPaths>

#include "ui/alignment_dialog.h"
#include "ui/alignment_store.h"
#include "ui/busy_cursor.h"
#include "ui/column_list.h"
#include "ui/form1.h"
#include "ui/lto_dialog.h"
#include "ui/print_button.h"
#include "ui/sheet_job.h"

namespace linomark {

SheetRequest Form1::CurrentRequest(bool alignmentSheet) const {
    return {LabelTypeFromIndex(cmbType->currentIndex()),
            {txt1->Text().toStdU32String(), txt2->Text().toStdU32String(),
             txt3->Text().toStdU32String()},
            alignmentSheet};
}

// A failed print leaves the window as it was and says why. A click while a
// sheet is still on its way prints nothing more: the button is disabled.
void Form1::Command1_Click() {
    const SheetRequest request = CurrentRequest(false);
    StartSheetJob([request] { return PrintOnDefaultPrinter(request, ReadAlignment); });
}

void Form1::mnuAlignmentSheet_Click() {
    const SheetRequest request = CurrentRequest(true);
    StartSheetJob([request] { return PrintOnDefaultPrinter(request, ReadAlignment); });
}

// The offsets are kept as soon as the user says OK; the alignment sheet
// printed from the dialog uses the values as they stand in it.
void Form1::mnuAlignment_Click() {
    const QString queue = DefaultPrinterName();
    AlignmentDialog dialog(queue, queue.isEmpty() ? AlignmentOffset{} : ReadAlignment(queue), this);
    connect(&dialog, &AlignmentDialog::alignmentSheetRequested, this, [this, &dialog] {
        const SheetRequest request = CurrentRequest(true);
        const AlignmentOffset shown = dialog.Offset();
        StartSheetJob([request, shown] {
            return PrintOnDefaultPrinter(request, [shown](const QString&) { return shown; });
        });
    });
    if (dialog.exec() != QDialog::Accepted || queue.isEmpty()) return;
    const QString reason = WriteAlignment(queue, dialog.Offset());
    if (!reason.isEmpty()) {
        Warn(tr("The alignment offsets were not saved: %1").arg(reason));
    }
}

void Form1::mnuSavePdf_Click() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fileName = QFileDialog::getSaveFileName(
        this, tr("Save sheet as PDF"), folder + QStringLiteral("/label-sheet.pdf"),
        tr("PDF files (*.pdf)"));
    if (fileName.isEmpty()) return;
    const SheetRequest request = CurrentRequest(false);
    StartSheetJob([request, fileName] { return SaveSheetAsPdf(request, ReadAlignment, fileName); });
}

void Form1::mnuLtoLabels_Click() {
    if (!printService) printService = new PrintService(this);
    LtoDialog dialog(*printService, this);
    dialog.exec();
}

void Form1::StartSheetJob(std::function<PrintResult()> work) {
    if (!sheetJob->Start(std::move(work))) return;
    busyCursor = std::make_unique<BusyCursor>();
    Command1->setEnabled(false);
}

void Form1::SheetJob_Finished(const PrintResult& result) {
    busyCursor.reset();
    Command1->setEnabled(true);
    if (!result.printed) Warn(result.reason);
}

}  // namespace linomark
