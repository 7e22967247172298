// The window's event handlers. Each runs to its end on the window's thread;
// the handlers of the three columns are thin calls of one per-column procedure.
#include "ui/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>

#include "drawing/label.h"
#include "linomark_config.h"
#include "sheet/print_job.h"
#include "symbology/code39.h"
#include "symbology/label_series.h"
#include "ui/caret_line.h"
#include "ui/column_list.h"
#include "ui/leading_value_box.h"
#include "ui/link_label.h"
#include "ui/mshellexecute.h"
#include "ui/preview_box.h"
#include "ui/settings.h"

namespace linomark {

namespace {

// Where the first bar of a preview stands, in the preview box's units: a type
// 1 label leaves room above its bars for the spaced-out text.
constexpr float kPreviewLeft = 2.5f;
constexpr float kPreviewTopType0 = 2.0f;
constexpr float kPreviewTopType1 = 6.0f;
// The show command the link asks for; the opener shows a normal window anyway.
constexpr int kShowMaximized = 10;

QString ProgramTitle() { return QString::fromLatin1(kProgramTitle); }

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    BuildControls();
    WireEvents();
    Form_Load();
}

void Form1::WireEvents() {
    connect(cmbType, &QComboBox::currentIndexChanged, this, &Form1::cmbType_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(lblURL, &LinkLabel::clicked, this, &Form1::lblURL_Click);
    connect(lblCopyright, &LinkLabel::clicked, this, &Form1::lblCopyright_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    connect(Text1, &LeadingValueBox::gotFocus, this, &Form1::Text1_GotFocus);
    connect(Text2, &LeadingValueBox::gotFocus, this, &Form1::Text2_GotFocus);
    connect(Text3, &LeadingValueBox::gotFocus, this, &Form1::Text3_GotFocus);
    WireColumnEvents();
}

void Form1::WireColumnEvents() {
    connect(txt1, &ColumnList::clicked, this, &Form1::txt1_Click);
    connect(txt2, &ColumnList::clicked, this, &Form1::txt2_Click);
    connect(txt3, &ColumnList::clicked, this, &Form1::txt3_Click);
    connect(txt1, &ColumnList::gotFocus, this, &Form1::txt1_GotFocus);
    connect(txt2, &ColumnList::gotFocus, this, &Form1::txt2_GotFocus);
    connect(txt3, &ColumnList::gotFocus, this, &Form1::txt3_GotFocus);
    connect(txt1, &ColumnList::keyReleased, this, &Form1::txt1_KeyUp);
    connect(txt2, &ColumnList::keyReleased, this, &Form1::txt2_KeyUp);
    connect(txt3, &ColumnList::keyReleased, this, &Form1::txt3_KeyUp);
}

// The label type is restored before the leading values, so that their change
// handlers already preview in it; the focus move of cmbType_Click only takes
// effect once the window is shown.
void Form1::Form_Load() {
    InitAlphabet();
    const StoredValues stored = ReadSettings();
    cmbType->setCurrentIndex(stored.type);
    Text1->setText(stored.column1);
    Text2->setText(stored.column2);
    Text3->setText(stored.column3);
    UpdateTxtLabels(Text1->text(), *txt1);
    UpdateTxtLabels(Text2->text(), *txt2);
    UpdateTxtLabels(Text3->text(), *txt3);
}

// The column lists are not saved: the next start generates them again.
void Form1::Form_Unload() {
    const QString reason =
        WriteSettings({cmbType->currentIndex(), Text1->text(), Text2->text(), Text3->text()});
    if (!reason.isEmpty()) {
        QMessageBox::warning(this, ProgramTitle(),
                             tr("The settings were not saved: %1").arg(reason));
    }
}

// The focus lands in Text1 when the window is first shown. The focus that
// comes with the window's activation is not taken for an entry, and a window
// manager may not activate the window at all, so Text1's entry is run here.
void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && focusWidget() == Text1) Text1_GotFocus();
}

// The window always closes, also when the settings could not be written.
void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// Moving the focus to Text1 previews its value in the new type. When Text1
// has the focus already, no focus event comes, so its entry is run directly.
void Form1::cmbType_Click() {
    if (Text1->hasFocus()) {
        Text1_GotFocus();
    } else {
        Text1->setFocus(Qt::OtherFocusReason);
    }
}

// A failed print leaves the window as it was and says why.
void Form1::Command1_Click() {
    const ColumnLists lists{txt1->Text().toStdU32String(), txt2->Text().toStdU32String(),
                            txt3->Text().toStdU32String()};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PrintResult result =
        PrintSheetOnDefaultPrinter(LabelTypeFromIndex(cmbType->currentIndex()), lists);
    QApplication::restoreOverrideCursor();
    if (!result.printed) QMessageBox::warning(this, ProgramTitle(), result.reason);
}

void Form1::lblURL_Click() { OpenLink(QString::fromLatin1(kMakerAddress)); }
void Form1::lblCopyright_Click() { OpenLink(QString::fromLatin1(kMakerAddress)); }

void Form1::Text1_Change() { ChangeLeadingValue(*Text1, *txt1); }
void Form1::Text2_Change() { ChangeLeadingValue(*Text2, *txt2); }
void Form1::Text3_Change() { ChangeLeadingValue(*Text3, *txt3); }
void Form1::Text1_GotFocus() { SelectLeadingValue(*Text1); }
void Form1::Text2_GotFocus() { SelectLeadingValue(*Text2); }
void Form1::Text3_GotFocus() { SelectLeadingValue(*Text3); }

void Form1::txt1_Click() { PreviewCaretLine(*txt1); }
void Form1::txt2_Click() { PreviewCaretLine(*txt2); }
void Form1::txt3_Click() { PreviewCaretLine(*txt3); }
void Form1::txt1_GotFocus() { PreviewCaretLine(*txt1); }
void Form1::txt2_GotFocus() { PreviewCaretLine(*txt2); }
void Form1::txt3_GotFocus() { PreviewCaretLine(*txt3); }
void Form1::txt1_KeyUp() { PreviewCaretLine(*txt1); }
void Form1::txt2_KeyUp() { PreviewCaretLine(*txt2); }
void Form1::txt3_KeyUp() { PreviewCaretLine(*txt3); }

// Replaces the whole list, discarding any edits in it.
void Form1::UpdateTxtLabels(const QString& leadingValue, ColumnList& list) {
    list.SetText(QString::fromStdU32String(MakeLabelSeries(leadingValue.toStdU32String())));
}

void Form1::ChangeLeadingValue(LeadingValueBox& box, ColumnList& list) {
    UpdateTxtLabels(box.text(), list);
    PreviewLeadingValue(box);
}

// The whole value is selected, so the next typed character replaces it.
void Form1::SelectLeadingValue(LeadingValueBox& box) {
    box.setSelection(0, static_cast<int>(box.text().size()));
    PreviewLeadingValue(box);
}

void Form1::PreviewLeadingValue(const LeadingValueBox& box) {
    PreviewValue(box.text().toStdU32String());
}

void Form1::PreviewCaretLine(const ColumnList& list) {
    PreviewValue(CaretLine(list.Text().toStdU32String(), list.SelectionStart()));
}

// Only the preview box repaints.
void Form1::PreviewValue(const std::u32string& value) {
    if (LabelTypeFromIndex(cmbType->currentIndex()) == LabelType::WithCheck) {
        PreviewBarCode(pictPreview->Surface(), kPreviewLeft, kPreviewTopType0,
                       CompleteBarCode(value));
    } else {
        PreviewBarCodeCompaq(pictPreview->Surface(), kPreviewLeft, kPreviewTopType1,
                             CompleteBarCodeCompaq(value));
    }
    pictPreview->update();
}

// The opener answers later: the window goes on working while it starts.
void Form1::OpenLink(const QString& address) {
    mShellExecute::GShell(
        address, kShowMaximized, QString(), QString(), QStringLiteral("open"), this,
        [this, address](bool opened, const mShellExecute::ShellError& error) {
            if (opened) return;
            // "occured" is the message's own spelling, kept as users have always seen it.
            QMessageBox::warning(this, ProgramTitle(),
                                 QStringLiteral("Error occured while running '") + address +
                                     QStringLiteral("'.") + QStringLiteral("\r\n\r\n[") +
                                     error.description + QStringLiteral("]"));
        });
}

}  // namespace linomark
