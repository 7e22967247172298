// The Print button and its menu: the label sheet, the alignment sheet, the
// alignment offsets of the default printer, the sheet saved as PDF, and the
// LTO labels dialog, which shares the window's print service. Each
// click makes one request of the values as they stand at that click; the
// print service hands them over in order on its own thread, so the window
// keeps answering however long CUPS takes, and the outcome of each comes
// back to PrintService_Finished.
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "linomark_config.h"
#include "settings/alignment_store.h"
#include "system/termination.h"
#include "ui/alignment_dialog.h"
#include "ui/busy_cursor.h"
#include "ui/column_list.h"
#include "ui/form1.h"
#include "ui/lto_dialog.h"
#include "ui/pdf_file_name.h"
#include "ui/print_button.h"

namespace linomark {
namespace {

// Sheets may wait for the printer up to this many; a further click is
// refused, so that a stalled printer does not collect a pile of them.
constexpr int kMostWaitingSheets = 20;
// Waiting at close ends after this, as the hand-over itself does.
constexpr int kCloseWaitMs = 10'000;
// The preview's caption says where a sheet went for this long.
constexpr int kSentShownMs = 6'000;

}  // namespace

SheetRequest Form1::CurrentRequest(bool alignmentSheet) const {
    return {LabelTypeFromIndex(cmbType->currentIndex()),
            {txt1->Text().toStdU32String(), txt2->Text().toStdU32String(),
             txt3->Text().toStdU32String()},
            alignmentSheet};
}

// The button stays enabled and keeps the focus: a click while sheets are on
// their way queues one more.
void Form1::Command1_Click() { QueueSheet(CurrentRequest(false), {}, ReadAlignments()); }

void Form1::mnuAlignmentSheet_Click() { QueueSheet(CurrentRequest(true), {}, ReadAlignments()); }

// The dialog opens once the service has named the default printer.
void Form1::mnuAlignment_Click() {
    alignmentAsked = true;
    UpdateBusyCursor();
    printService->AskPrinter();
}

// The offsets are kept as soon as the user says OK; the alignment sheet
// printed from the dialog uses the values as they stand in it.
void Form1::PrintService_PrinterAnswered(const Outcome<PrinterFacts>& facts) {
    if (!alignmentAsked) return;
    alignmentAsked = false;
    UpdateBusyCursor();
    const QString queue = facts ? facts.Value().queue : QString();
    AlignmentDialog dialog(queue, queue.isEmpty() ? AlignmentOffset{} : ReadAlignment(queue), this);
    connect(&dialog, &AlignmentDialog::alignmentSheetRequested, this, [this, &dialog, queue] {
        QueueSheet(CurrentRequest(true), {PrintTarget::Kind::Queue, queue, {}},
                   {{queue, dialog.Offset()}});
    });
    if (dialog.exec() != QDialog::Accepted || queue.isEmpty()) return;
    const Outcome<Done> saved = WriteAlignment(queue, dialog.Offset());
    if (!saved) {
        Warn(tr("The alignment offsets were not saved: %1")
                 .arg(QString::fromStdString(saved.Reason())));
    }
}

void Form1::mnuSavePdf_Click() {
    const QString fileName =
        AskPdfFileName(this, tr("Save sheet as PDF"), {txt1->Text(), txt2->Text(), txt3->Text()});
    if (fileName.isEmpty()) return;
    QueueSheet(CurrentRequest(false), {PrintTarget::Kind::File, fileName, {}}, ReadAlignments());
}

void Form1::QueueSheet(const SheetRequest& sheet, const PrintTarget& target,
                       const OffsetsByQueue& offsets) {
    if (printService->Pending() >= kMostWaitingSheets) {
        Warn(tr("%1 sheets are still waiting for the printer; this one was not added. Wait until "
                "they are printed, or check the printer, and try again.")
                 .arg(printService->Pending()));
        return;
    }
    sheetTickets.insert(printService->Submit(SheetPrintRequest(sheet, target, offsets)));
    UpdateBusyCursor();
}

void Form1::mnuLtoLabels_Click() {
    LtoDialog dialog(*printService, this);
    dialog.exec();
}

void Form1::ShowLtoLabels() { mnuLtoLabels_Click(); }

// The LTO dialog's jobs are its own to report; once the window has closed
// (its sheets discarded), there is nobody to tell.
void Form1::PrintService_Finished(quint64 ticket, const Outcome<PrintReceipt>& outcome) {
    UpdateBusyCursor();
    const bool windowsOwn = sheetTickets.remove(ticket);
    if (windowsOwn && outcome) ShowSent(outcome.Value());
    if (windowsOwn && isVisible() && !outcome) WarnInTurn(QString::fromStdString(outcome.Reason()));
    if (closeWhenHandedOver && printService->Pending() == 0) close();
}

// Told in the preview's caption, where it moves and covers nothing, and
// without a box to close: "Sent to Office (job 12)", "Saved as labels.pdf".
void Form1::ShowSent(const PrintReceipt& receipt) {
    const bool file = !receipt.fileName.isEmpty();
    Frame2->setTitle(file ? tr("Saved as %1").arg(QFileInfo(receipt.fileName).fileName())
                          : tr("Sent to %1 (job %2)").arg(receipt.queue).arg(receipt.jobId));
    Frame2->setToolTip(file ? receipt.fileName : QString());
    sentShown->start(kSentShownMs);
}

void Form1::ShowPreviewCaption() {
    Frame2->setTitle(tr("Preview"));
    Frame2->setToolTip(QString());
}

void Form1::UpdateBusyCursor() {
    const bool busy = printService->Pending() > 0 || alignmentAsked;
    if (busy && !busyCursor) busyCursor = std::make_unique<BusyCursor>();
    if (!busy) busyCursor.reset();
}

// Failures that come while a warning is open are shown after it, one box at
// a time.
void Form1::WarnInTurn(const QString& text) {
    pendingWarnings.append(text);
    if (warningOpen) return;
    warningOpen = true;
    while (!pendingWarnings.isEmpty()) Warn(pendingWarnings.takeFirst());
    warningOpen = false;
}

// Sheets not yet handed over are never lost unasked: the user waits for them
// or discards them. At a termination signal nobody may be there to answer,
// so they are discarded, and the program says so and ends with status 1.
bool Form1::AgreeToClose() {
    const int waiting = printService->Pending();
    if (closingOnSignal) {
        printService->CancelAll();
        std::fprintf(stderr,
                     "linomark: %d label sheet(s) had not reached the printer and were "
                     "discarded.\n",
                     waiting);
        lostOnClose = true;
        return true;
    }
    if (closeWhenHandedOver) return false;
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kProgramTitle),
                    waiting == 1 ? tr("1 sheet has not reached the printer yet.")
                                 : tr("%1 sheets have not reached the printer yet.").arg(waiting),
                    QMessageBox::NoButton, this);
    QPushButton* wait = box.addButton(tr("&Wait"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(tr("&Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(wait);
    box.exec();
    if (printService->Pending() == 0) return true;
    if (box.clickedButton() == discard) {
        printService->CancelAll();
        return true;
    }
    closeWhenHandedOver = true;
    QTimer::singleShot(kCloseWaitMs, this, [this] {
        printService->CancelAll();
        close();
    });
    return false;
}

}  // namespace linomark
