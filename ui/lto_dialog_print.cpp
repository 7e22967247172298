// The dialog's jobs: the labels on the default printer, the labels as a PDF
// file, and the stock's outlines. Each goes to the print service, which makes
// the pages and talks to CUPS off the window's thread; the outcome comes back
// to JobFinished. The printer's answer sets the colour and sheet defaults.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
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

// "ABC100L9 to ABC139L9": the first and the last label a job prints.
QString LabelRange(const std::vector<LtoLabel>& labels) {
    const auto printed = [](const LtoLabel& label) { return !label.serial.empty(); };
    const auto first = std::find_if(labels.begin(), labels.end(), printed);
    const auto last = std::find_if(labels.rbegin(), labels.rend(), printed);
    if (first == labels.end()) return {};
    const QString from = QString::fromStdString(LtoTag(*first));
    if (&*first == &*last) return from;
    return QCoreApplication::translate("LtoDialog", "%1 to %2")
        .arg(from, QString::fromStdString(LtoTag(*last)));
}

// What the summary says once a job is sent or written.
QString SentLine(const QString& held, int labels, const PrintReceipt& receipt) {
    const QString count = labels == 0 ? QString()
                          : labels == 1
                              ? QCoreApplication::translate("LtoDialog", ", 1 label")
                              : QCoreApplication::translate("LtoDialog", ", %1 labels").arg(labels);
    if (!receipt.fileName.isEmpty()) {
        return QCoreApplication::translate("LtoDialog", "Last saved: %1 to %2%3")
            .arg(held, receipt.fileName, count);
    }
    return QCoreApplication::translate("LtoDialog", "Last printed: %1 on %2 (job %3)%4")
        .arg(held, receipt.queue)
        .arg(receipt.jobId)
        .arg(count);
}

}  // namespace

// Only what the user has not chosen yet: an answer that comes late never
// undoes a choice made meanwhile or kept from before.
void LtoDialog::ApplyPrinterDefaults(const Outcome<PrinterFacts>& facts) {
    lblPrinter->setText(facts ? tr("on %1").arg(facts.Value().queue) : tr("no printer"));
    lblPrinter->setToolTip(facts ? QString() : QString::fromStdString(facts.Reason()));
    if (!facts) return;
    // The summary says when the printer's whole dots make the bars finer.
    printerDots = facts.Value().dotsPerInch;
    Refresh();
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
    const QString stock = QString::fromStdString(job.stock.id);
    Pending next{
        0, stock, std::nullopt, std::nullopt, std::nullopt, tr("the outlines of %1").arg(stock), 0};
    QString title = tr("LTO label outlines, %1").arg(stock);
    const Outcome<LtoPlan> plan = PlanLtoJob(job);
    if (!plan) return Warn(QString::fromStdString(plan.Reason()));
    if (!job.outlinesOnly) {
        next.nextStart = plan.Value().nextStart;
        next.held = LabelRange(job.labels);
        next.labels = plan.Value().labels;
        if (!chkList->isChecked()) next.first = txtFirstSerial->text();
        next.nextFirst = FirstSerialAfter();
        title = tr("LTO labels, %1").arg(QString::fromStdString(plan.Value().summary));
    }
    next.ticket = service.Submit(LtoPrintRequest(plan.Value(), target, ReadAlignments(), title));
    pending = next;
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
    lastSent = SentLine(ended.held, ended.labels, outcome.Value());
    if (!ended.nextStart) return Refresh();
    settings.startAt[ended.stock] = *ended.nextStart;
    MoveFirstSerialOn(ended.first, ended.nextFirst);
    if (ended.stock == shownStock) ShowStart();
    Refresh();
    KeepSettings();
}

// Only a First serial the user has left as it was printed moves on.
void LtoDialog::MoveFirstSerialOn(const std::optional<QString>& from,
                                  const std::optional<QString>& to) {
    if (from && to && txtFirstSerial->text() == *from) txtFirstSerial->setText(*to);
}

void LtoDialog::Warn(const QString& text) {
    QMessageBox::warning(this, QString::fromUtf8(kProgramTitle), text);
}

}  // namespace linomark
