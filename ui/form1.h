// The main window: the column editors, the preview, the Print button and the
// link. It wires the controls' events to small handlers named after the
// control and the event (Text1_Change, txt2_KeyUp, Command1_Click ...).
#pragma once

#include <QSet>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "print/print_requests.h"

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QTimer;

namespace linomark {

class BusyCursor;
class ColumnList;
class LeadingValueBox;
class LinkLabel;
class PreviewBox;
class PrintButton;

class Form1 : public QWidget {
    Q_OBJECT

public:
    // Builds the controls and runs Form_Load; show() then puts the focus in
    // Text1, which selects and previews its value.
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // From now on SIGTERM, SIGINT and SIGHUP close the window the way its
    // close box does (so the settings are saved), and the program then ends.
    void CloseOnTerminationSignals();
    // Whether closing on a termination signal lost something (the settings,
    // a sheet): the program then ends with status 1, so that a session
    // manager's log shows it.
    [[nodiscard]] bool LostOnClose() const { return lostOnClose; }
    // Opens the LTO labels dialog over the window, as its menu entry does.
    void ShowLtoLabels();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // form1_layout.cpp: the controls at their design places.
    void BuildControls();
    void BuildValuesFrame();
    void BuildPreviewFrame();
    void BuildTypeChooser();
    void BuildTitlePanel();
    void BuildPrintMenu();
    void BuildShortcuts();
    void SetTabOrder();
    void WireEvents();
    void WireColumnEvents();

    void Form_Load();
    void Form_Unload();

    void cmbType_Click();
    void lblURL_Click();
    void lblCopyright_Click();

    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text1_GotFocus();
    void Text2_GotFocus();
    void Text3_GotFocus();

    void txt1_Click();
    void txt2_Click();
    void txt3_Click();
    void txt1_GotFocus();
    void txt2_GotFocus();
    void txt3_GotFocus();
    void txt1_KeyUp();
    void txt2_KeyUp();
    void txt3_KeyUp();

    // The procedures the handlers share, one call per column.
    void UpdateTxtLabels(const QString& leadingValue, ColumnList& list);
    void ChangeLeadingValue(LeadingValueBox& box, ColumnList& list);
    void SelectLeadingValue(LeadingValueBox& box);
    void PreviewLeadingValue(const LeadingValueBox& box);
    void PreviewCaretLine(const ColumnList& list);
    void PreviewValue(const std::u32string& value);
    void RedrawPreview();
    void OpenLink(const QString& address);
    // A warning box with the program's title.
    void Warn(const QString& text);

    // form1_print.cpp: the Print button and its menu.
    void Command1_Click();
    void mnuAlignmentSheet_Click();
    void mnuAlignment_Click();
    void mnuSavePdf_Click();
    void mnuLtoLabels_Click();
    [[nodiscard]] SheetRequest CurrentRequest(bool alignmentSheet) const;
    void QueueSheet(const SheetRequest& sheet, const PrintTarget& target,
                    const OffsetsByQueue& offsets);
    void PrintService_Finished(quint64 ticket, const Outcome<PrintReceipt>& outcome);
    void PrintService_PrinterAnswered(const Outcome<PrinterFacts>& facts);
    void ShowSent(const PrintReceipt& receipt);
    void ShowPreviewCaption();
    void UpdateBusyCursor();
    void WarnInTurn(const QString& text);
    bool AgreeToClose();

    QComboBox* cmbType = nullptr;
    QFrame* Picture1 = nullptr;
    QLabel* lblDotLine = nullptr;
    LinkLabel* lblURL = nullptr;
    LinkLabel* lblCopyright = nullptr;
    QGroupBox* Frame2 = nullptr;
    PreviewBox* pictPreview = nullptr;
    QGroupBox* Frame1 = nullptr;
    ColumnList* txt1 = nullptr;
    ColumnList* txt2 = nullptr;
    ColumnList* txt3 = nullptr;
    LeadingValueBox* Text1 = nullptr;
    LeadingValueBox* Text2 = nullptr;
    LeadingValueBox* Text3 = nullptr;
    PrintButton* Command1 = nullptr;
    QAction* mnuAlignmentSheet = nullptr;
    QAction* mnuAlignment = nullptr;
    QAction* mnuSavePdf = nullptr;
    QAction* mnuLtoLabels = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* sentShown = nullptr;  // how long the preview's caption says what was sent
    int shownType = 0;            // the sheet type the type box held before its LTO entry

    PrintService* printService = nullptr;
    std::unique_ptr<BusyCursor> busyCursor;
    bool alignmentAsked = false;
    bool closeWhenHandedOver = false;
    // While a termination signal closes the window nobody may be there to
    // answer a message box (a log-out waits for the program to end).
    bool closingOnSignal = false;
    bool lostOnClose = false;
    QStringList pendingWarnings;
    QSet<quint64> sheetTickets;  // the window's own requests still on their way
    bool warningOpen = false;
    // What the preview shows, so it can be drawn again at another pixel ratio.
    std::u32string previewedValue;
    bool previewFailureShown = false;
};

}  // namespace linomark
