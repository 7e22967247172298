// The window's event handlers. Each runs to its end on the window's thread;
// the handlers of the three columns are thin calls of one per-column procedure.
#include "ui/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <exception>

#include "drawing/label_kinds.h"
#include "linomark_config.h"
#include "settings/settings.h"
#include "symbology/code39.h"
#include "symbology/label_series.h"
#include "system/termination.h"
#include "ui/busy_cursor.h"
#include "symbology/caret_line.h"
#include "ui/column_list.h"
#include "ui/leading_value_box.h"
#include "ui/link_label.h"
#include "ui/mshellexecute.h"
#include "ui/preview_box.h"
#include "ui/print_button.h"

namespace linomark {

namespace {

// The show command the link asks for; the opener shows a normal window anyway.
constexpr int kShowMaximized = 10;

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), printService(new PrintService(this)) {
    BuildControls();
    WireEvents();
    Form_Load();
}

// Declared here, where BusyCursor is a complete type.
Form1::~Form1() = default;

void Form1::WireEvents() {
    connect(cmbType, &QComboBox::currentIndexChanged, this, &Form1::cmbType_Click);
    connect(sentShown, &QTimer::timeout, this, &Form1::ShowPreviewCaption);
    connect(Command1, &PrintButton::clicked, this, &Form1::Command1_Click);
    connect(mnuAlignmentSheet, &QAction::triggered, this, &Form1::mnuAlignmentSheet_Click);
    connect(mnuAlignment, &QAction::triggered, this, &Form1::mnuAlignment_Click);
    connect(mnuSavePdf, &QAction::triggered, this, &Form1::mnuSavePdf_Click);
    connect(mnuLtoLabels, &QAction::triggered, this, &Form1::mnuLtoLabels_Click);
    connect(printService, &PrintService::finished, this, &Form1::PrintService_Finished);
    connect(printService, &PrintService::printerAnswered, this,
            &Form1::PrintService_PrinterAnswered);
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

// The column lists are not saved: the next start generates them again. When
// the system ends the program, a failure is told on standard error: a message
// box would keep the program running with nobody there to close it.
void Form1::CloseOnTerminationSignals() {
    DeliverTerminationSignals(*this, [this](int) {
        closingOnSignal = true;
        close();
        closingOnSignal = false;
        // Ends the main loop and any message box still open over the window.
        QCoreApplication::quit();
    });
}

void Form1::Form_Unload() {
    const Outcome<Done> saved =
        WriteSettings({cmbType->currentIndex(), Text1->text(), Text2->text(), Text3->text()});
    if (saved) return;
    const QString message =
        tr("The settings were not saved: %1").arg(QString::fromStdString(saved.Reason()));
    if (closingOnSignal) {
        std::fprintf(stderr, "linomark: %s\n", qPrintable(message));
        lostOnClose = true;
    } else {
        Warn(message);
    }
}

// The focus lands in Text1 when the window is first shown. The focus that
// comes with the window's activation is not taken for an entry, and a window
// manager may not activate the window at all, so Text1's entry is run here.
// The window exists on a screen from now on: moving it to a screen of
// another pixel ratio draws the preview again in that screen's pixels.
void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    connect(windowHandle(), &QWindow::screenChanged, this, &Form1::RedrawPreview,
            Qt::UniqueConnection);
    if (focusWidget() == Text1) Text1_GotFocus();
}

// The window closes also when the settings could not be written; with
// sheets still on their way, once the user has said what becomes of them.
void Form1::closeEvent(QCloseEvent* event) {
    if (printService->Pending() > 0 && !AgreeToClose()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

// Moving the focus to Text1 previews its value in the new type. When Text1
// has the focus already, no focus event comes, so its entry is run directly.
// The LTO entry is no type: the box goes back to the one it held, and the
// dialog opens once the box's own event has ended.
void Form1::cmbType_Click() {
    if (cmbType->currentIndex() == IndexOf(LabelType::Lto)) {
        const QSignalBlocker quiet(cmbType);
        cmbType->setCurrentIndex(shownType);
        QTimer::singleShot(0, this, &Form1::mnuLtoLabels_Click);
        return;
    }
    shownType = cmbType->currentIndex();
    if (Text1->hasFocus()) {
        Text1_GotFocus();
    } else {
        Text1->setFocus(Qt::OtherFocusReason);
    }
}

void Form1::lblURL_Click() { OpenLink(QString::fromUtf8(kMakerAddress)); }
void Form1::lblCopyright_Click() { OpenLink(QString::fromUtf8(kMakerAddress)); }

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

// Only the preview box repaints. A surface that fails leaves the picture as
// it was: the failure stays in this handler, and is told once.
void Form1::PreviewValue(const std::u32string& value) {
    const QImage before = pictPreview->Picture();
    const qint64 beforeKey = pictPreview->Picture().cacheKey();
    try {
        const LabelKind& kind = LabelKindOf(LabelTypeFromIndex(cmbType->currentIndex()));
        pictPreview->Draw([&kind, &value](DrawingSurface& box) {
            kind.preview(box, kind, kind.inPreview.x, kind.inPreview.y, value, {});
        });
        previewedValue = value;
    } catch (const std::exception& error) {
        if (pictPreview->Picture().cacheKey() != beforeKey) pictPreview->Restore(before);
        if (!previewFailureShown) {
            previewFailureShown = true;
            Warn(tr("The preview could not be drawn: %1").arg(QString::fromUtf8(error.what())));
        }
    }
    pictPreview->update();
}

void Form1::RedrawPreview() {
    if (pictPreview->SetDevicePixelRatio(devicePixelRatioF())) PreviewValue(previewedValue);
}

void Form1::Warn(const QString& text) {
    QMessageBox::warning(this, QString::fromUtf8(kProgramTitle), text);
}

// The opener answers later: the window goes on working while it starts.
void Form1::OpenLink(const QString& address) {
    mShellExecute::GShell(
        address, kShowMaximized, QString(), QString(), QStringLiteral("open"), this,
        [this, address](bool opened, const mShellExecute::ShellError& error) {
            if (opened) return;
            // "occured" is the message's own spelling, kept as users have always seen it.
            Warn(QStringLiteral("Error occured while running '") + address + QStringLiteral("'.") +
                 QStringLiteral("\r\n\r\n[") + error.description + QStringLiteral("]"));
        });
}

}  // namespace linomark
