// The dialog's jobs: the labels on the default printer, the labels as a PDF
// file, and the stock's outlines. Each goes to the print service, which makes
// the pages and talks to CUPS off the window's thread; the outcome comes back
// to JobFinished. The printer's answer sets the colour and sheet defaults.
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "linomark_config.h"
#include "print/print_requests.h"
#include "settings/alignment_store.h"
#include "ui/busy_cursor.h"
#include "ui/lto_dialog.h"
#include "ui/pdf_file_name.h"

namespace linomark {
namespace {

// Papers are the same when their sizes agree to a millimetre, whatever names
// the printer and the table give them.
constexpr float kSamePaper = 1.0f;

bool SameSize(const Paper& a, const Paper& b) {
    return std::fabs(a.width - b.width) < kSamePaper && std::fabs(a.height - b.height) < kSamePaper;
}

}  // namespace

// Only what the user has not chosen yet: an answer that comes late never
// undoes a choice made meanwhile or kept from before.
void LtoDialog::ApplyPrinterDefaults(const Outcome<PrinterFacts>& facts) {
    if (!facts) return;
    if (!settings.colour) chkColour->setChecked(facts.Value().colour);
    if (settings.sheet) return;
    for (const SheetLayout& stock : LtoStocks()) {
        const std::optional<Paper> paper = PaperNamed(stock.paper);
        if (paper && SameSize(*paper, facts.Value().paper))
            return SelectStock(QString::fromStdString(stock.id));
    }
}

void LtoDialog::PrintLabels() {
    const Outcome<LtoJob> job = CurrentJob();
    if (job) Submit(job.Value(), {PrintTarget::Kind::DefaultPrinter, {}, {}});
}

void LtoDialog::SaveAsPdf() {
    const Outcome<LtoJob> job = CurrentJob();
    if (!job) return;
    const auto labeled = std::find_if(job.Value().labels.begin(), job.Value().labels.end(),
                                      [](const LtoLabel& label) { return !label.serial.empty(); });
    const QString first = labeled == job.Value().labels.end()
                              ? QString()
                              : QString::fromStdString(labeled->serial + labeled->mediaId);
    const QString fileName = AskPdfFileName(this, tr("Save LTO labels as PDF"), {first});
    if (!fileName.isEmpty()) Submit(job.Value(), {PrintTarget::Kind::File, fileName, {}});
}

// The outlines need no labels: they show where the stock's labels lie.
void LtoDialog::PrintOutlines() {
    LtoJob job{CurrentStock(), {}, 1, false, true};
    Submit(job, {PrintTarget::Kind::DefaultPrinter, {}, {}});
}

void LtoDialog::Submit(const LtoJob& job, const PrintTarget& target) {
    std::optional<int> nextStart;
    QString title = tr("LTO label outlines, %1").arg(QString::fromStdString(job.stock.id));
    const Outcome<LtoPlan> plan = PlanLtoJob(job);
    if (!plan) return Warn(QString::fromStdString(plan.Reason()));
    if (!job.outlinesOnly) {
        nextStart = plan.Value().nextStart;
        title = tr("LTO labels, %1").arg(QString::fromStdString(plan.Value().summary));
    }
    pending =
        Pending{service.Submit(LtoPrintRequest(plan.Value(), target, ReadAlignments(), title)),
                QString::fromStdString(job.stock.id), nextStart};
    busyCursor = std::make_unique<BusyCursor>();
    UpdateButtons();
}

// After a run the stock's start moves to the first unused label of its last
// sheet, and is kept at once: the sheet is used whether or not the dialog is
// closed normally.
void LtoDialog::JobFinished(quint64 ticket, const Outcome<PrintReceipt>& outcome) {
    if (!pending || pending->ticket != ticket) return;
    const Pending ended = *pending;
    pending.reset();
    busyCursor.reset();
    UpdateButtons();
    if (!outcome) return Warn(QString::fromStdString(outcome.Reason()));
    if (!ended.nextStart) return;
    settings.startAt[ended.stock] = *ended.nextStart;
    if (ended.stock == shownStock) ShowStart();
    KeepSettings();
}

void LtoDialog::Warn(const QString& text) {
    QMessageBox::warning(this, QString::fromUtf8(kProgramTitle), text);
}

}  // namespace linomark
