// The values of the "LTO labels" dialog and what they make, shown again at
// every change: the first label, the first sheet, and the summary or the
// reason nothing can be printed.
#include "ui/lto_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextCursor>
#include <algorithm>

#include "ui/busy_cursor.h"
#include "ui/lto_custom_sheet.h"
#include "ui/lto_preview.h"

namespace linomark {
namespace {

constexpr QColor kRefusalInk(160, 0, 0);

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

bool HasShortSerial(const std::vector<LtoLabel>& labels) {
    return std::any_of(labels.begin(), labels.end(), [](const LtoLabel& label) {
        return !label.serial.empty() && label.serial.size() < kLtoSerialLength;
    });
}

}  // namespace

LtoDialog::LtoDialog(PrintService& printService, QWidget* parent)
    : QDialog(parent), service(printService), settings(ReadLtoSettings()) {
    BuildControls();
    ShowSettings();
    WireEvents();
    service.AskPrinter();
}

// Declared here, where BusyCursor is a complete type.
LtoDialog::~LtoDialog() = default;

void LtoDialog::done(int result) {
    if (pending) return;
    KeepSettings();
    QDialog::done(result);
}

void LtoDialog::ShowSettings() {
    txtFirstSerial->setText(settings.firstSerial);
    spnCount->setValue(settings.count);
    cmbMediaId->setEditText(settings.mediaId);
    chkList->setChecked(settings.useList);
    ShowRunOrList(settings.useList);
    txtList->setPlainText(settings.list);
    chkColour->setChecked(settings.colour.value_or(false));
    SelectStock(settings.sheet.value_or(Text(LtoStocks().front().id)));
}

void LtoDialog::KeepSettings() {
    settings.firstSerial = txtFirstSerial->text();
    settings.count = spnCount->value();
    settings.mediaId = cmbMediaId->currentText();
    settings.useList = chkList->isChecked();
    settings.list = txtList->toPlainText();
    settings.sheet = CurrentStockId();
    settings.colour = chkColour->isChecked();
    const Outcome<Done> saved = WriteLtoSettings(settings);
    if (!saved) {
        Warn(tr("The LTO label values were not saved: %1")
                 .arg(QString::fromStdString(saved.Reason())));
    }
}

QString LtoDialog::CurrentStockId() const { return cmbSheet->currentData().toString(); }

SheetLayout LtoDialog::CurrentStock() const {
    const SheetLayout* stock = LtoStockById(CurrentStockId().toStdString());
    return stock ? *stock : settings.custom;
}

Outcome<LtoList> LtoDialog::CurrentLabels() const {
    const std::string mediaId = cmbMediaId->currentText().trimmed().toStdString();
    if (chkList->isChecked()) return SerialList(txtList->toPlainText().toStdString(), mediaId);
    Outcome<std::vector<LtoLabel>> run =
        SerialRun(txtFirstSerial->text().toStdString(), spnCount->value(), mediaId);
    if (!run) return run.Failed();
    return LtoList{std::move(run.Value()), 0};
}

// The serial after the run, written as First serial is; none for a list or
// a run that ends at the last serial its digits hold.
std::optional<QString> LtoDialog::FirstSerialAfter() const {
    if (chkList->isChecked()) return std::nullopt;
    const Outcome<std::string> next =
        SerialAfterRun(txtFirstSerial->text().toStdString(), spnCount->value(),
                       cmbMediaId->currentText().trimmed().toStdString());
    return next ? std::optional<QString>(Text(next.Value())) : std::nullopt;
}

Outcome<LtoJob> LtoDialog::CurrentJob() const {
    Outcome<LtoList> list = CurrentLabels();
    if (!list) return list.Failed();
    return LtoJob{CurrentStock(),
                  std::move(list.Value().labels),
                  spnStartAt->value(),
                  chkColour->isChecked(),
                  false,
                  printerDots};
}

void LtoDialog::Refresh() {
    const Outcome<LtoList> list = CurrentLabels();
    const SheetLayout stock = CurrentStock();
    const std::vector<LtoLabel> labels = list ? list.Value().labels : std::vector<LtoLabel>{};
    ShowLabel(labels);
    picSheet->Show(stock, FirstSheetCells(stock, spnStartAt->value(), labels));
    planOk = false;
    if (!list) return ShowRefusal(Text(list.Reason()));
    const Outcome<LtoPlan> plan = PlanLtoJob(
        {stock, labels, spnStartAt->value(), chkColour->isChecked(), false, printerDots});
    if (!plan) return ShowRefusal(Text(plan.Reason()));
    planOk = true;
    QString summary = Text(plan.Value().summary);
    if (HasShortSerial(labels))
        summary += tr("\nA serial shorter than six characters is read by some libraries only.");
    if (list.Value().untagged > 0)
        summary += QLatin1Char('\n') + Text(UntaggedSentence(list.Value().untagged));
    if (!lastSent.isEmpty()) summary += QLatin1Char('\n') + lastSent;
    lblSummary->setPalette(palette());
    lblSummary->setText(summary);
    UpdateButtons();
}

// A sheet of the user's own that cannot take the symbol shows no label.
void LtoDialog::ShowLabel(const std::vector<LtoLabel>& labels) {
    const SheetLayout stock = CurrentStock();
    if (!CheckLayout(stock)) return picLabel->clear();
    const auto first = std::find_if(labels.begin(), labels.end(),
                                    [](const LtoLabel& label) { return !label.serial.empty(); });
    picLabel->setPixmap(
        QPixmap::fromImage(LtoLabelPicture(first == labels.end() ? LtoLabel{} : *first, stock,
                                           chkColour->isChecked(), devicePixelRatioF())));
}

void LtoDialog::ShowRefusal(const QString& reason) {
    QPalette refusal = palette();
    refusal.setColor(QPalette::WindowText, kRefusalInk);
    lblSummary->setPalette(refusal);
    lblSummary->setText(reason);
    UpdateButtons();
}

// Lower-case letters typed or pasted into the list become upper case, as one
// step the user can undo; the caret stays where it was.
void LtoDialog::UpperCaseList() {
    const QString text = txtList->toPlainText();
    const QString upper = QString::fromStdString(LtoUpper(text.toStdString()));
    if (upper == text) return Refresh();
    QTextCursor cursor = txtList->textCursor();
    const int position = cursor.position();
    cursor.select(QTextCursor::Document);
    cursor.insertText(upper);
    cursor.setPosition(position);
    txtList->setTextCursor(cursor);
}

// The user's choice of sheet; "Custom..." opens the user's own numbers, and
// giving them up goes back to the sheet chosen before.
void LtoDialog::ChooseSheet(int index) {
    const QString left = shownStock;
    const QString chosen = cmbSheet->itemData(index).toString();
    if (!LtoStockById(chosen.toStdString())) {
        CustomSheetDialog editor(settings.custom, this);
        if (editor.exec() != QDialog::Accepted) {
            if (left != chosen) SelectStock(left);
            return;
        }
        settings.custom = editor.Layout();
    }
    settings.sheet = chosen;
    ShowStart();
}

void LtoDialog::SelectStock(const QString& id) {
    cmbSheet->setCurrentIndex(std::max(cmbSheet->findData(id), 0));
    ShowStart();
}

// Each stock has its own start position: a partly used sheet of one stock
// does not move the start on another. A roll of one label a page has none.
void LtoDialog::ShowStart() {
    shownStock = CurrentStockId();
    const QSignalBlocker quiet(spnStartAt);
    const bool onePerPage = OneLabelAPage(CurrentStock());
    spnStartAt->setEnabled(!onePerPage);
    spnStartAt->setValue(onePerPage ? 1 : settings.StartAt(shownStock));
    Refresh();
}

void LtoDialog::KeepStart() {
    settings.startAt[shownStock] = spnStartAt->value();
    Refresh();
}

void LtoDialog::UpdateButtons() {
    const bool idle = !pending;
    cmdPrint->setEnabled(idle && planOk);
    cmdSavePdf->setEnabled(idle && planOk);
    cmdOutlines->setEnabled(idle && CheckLayout(CurrentStock()).Ok());
    cmdClose->setEnabled(idle);
}

}  // namespace linomark
