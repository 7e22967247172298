// The "LTO labels" dialog: a run of serials from a first serial and a count,
// or a list, with a media ID, laid on a label stock from a start position,
// in colour or not. It shows the first label, a miniature of the first sheet
// and what will be printed, or why not, as the user types; it prints, saves
// a PDF or prints the stock's outlines through the print service, and keeps
// its values in the [LTO] section of the settings.
#pragma once

#include <QDialog>
#include <memory>

#include "print/print_service.h"
#include "settings/lto_store.h"
#include "sheet/lto_run.h"
#include "symbology/lto_list.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace linomark {

class BusyCursor;
class SheetMiniature;

class LtoDialog : public QDialog {
    Q_OBJECT

public:
    // The service is the window's; it outlives the dialog.
    LtoDialog(PrintService& service, QWidget* parent);
    ~LtoDialog() override;

    // Keeps the values. While a job is on its way the dialog stays open: it
    // ends within the service's own time limits.
    void done(int result) override;

private:
    // lto_dialog_layout.cpp: the controls and their events.
    void BuildControls();
    QLayout* BuildValues();
    QLayout* BuildButtons();
    void BuildMediaIds();
    void BuildSheets();
    void ShowRunOrList(bool list);
    void WireEvents();

    // lto_dialog.cpp: the values and what they make.
    void ShowSettings();
    void KeepSettings();
    [[nodiscard]] SheetLayout CurrentStock() const;
    [[nodiscard]] QString CurrentStockId() const;
    [[nodiscard]] Outcome<LtoJob> CurrentJob() const;
    [[nodiscard]] Outcome<LtoList> CurrentLabels() const;
    [[nodiscard]] std::optional<QString> FirstSerialAfter() const;
    void Refresh();
    void ShowLabel(const std::vector<LtoLabel>& labels);
    void ShowRefusal(const QString& reason);
    void UpperCaseList();
    void ChooseSheet(int index);
    void SelectStock(const QString& id);
    void ShowStart();
    void KeepStart();
    void UpdateButtons();

    // lto_dialog_print.cpp: the printer's defaults, and the jobs.
    void ApplyPrinterDefaults(const Outcome<PrinterFacts>& facts);
    void PrintLabels();
    void SaveAsPdf();
    void PrintOutlines();
    void Submit(const LtoJob& job, const PrintTarget& target);
    void Warn(const QString& text);
    void JobFinished(quint64 ticket, const Outcome<PrintReceipt>& outcome);
    void MoveFirstSerialOn(const std::optional<QString>& from, const std::optional<QString>& to);

    PrintService& service;
    LtoSettings settings;
    QString shownStock;  // the stock whose start position the spin box shows
    bool planOk = false;
    int printerDots = 0;  // the printer's dots per inch, once it has answered
    QString lastSent;     // "Last printed: ... on Office (job 12)"

    // A job on its way: its ticket, its stock, where the next run starts and
    // from which serial, and what it holds.
    struct Pending {
        quint64 ticket = 0;
        QString stock;
        std::optional<int> nextStart;  // nothing for outlines
        std::optional<QString> first;  // a run's First serial as submitted
        std::optional<QString> nextFirst;
        QString held;  // "ABC100L9 to ABC139L9", "the outlines of a4-3x17"
        int labels = 0;
    };
    std::optional<Pending> pending;
    std::unique_ptr<BusyCursor> busyCursor;

    QLineEdit* txtFirstSerial = nullptr;
    QSpinBox* spnCount = nullptr;
    QPlainTextEdit* txtList = nullptr;
    QFormLayout* values = nullptr;
    QCheckBox* chkList = nullptr;
    QComboBox* cmbMediaId = nullptr;
    QComboBox* cmbSheet = nullptr;
    QSpinBox* spnStartAt = nullptr;
    QCheckBox* chkColour = nullptr;
    QLabel* picLabel = nullptr;
    SheetMiniature* picSheet = nullptr;
    QLabel* lblSummary = nullptr;
    QPushButton* cmdPrint = nullptr;
    QLabel* lblPrinter = nullptr;
    QPushButton* cmdSavePdf = nullptr;
    QPushButton* cmdOutlines = nullptr;
    QPushButton* cmdClose = nullptr;
};

}  // namespace linomark
