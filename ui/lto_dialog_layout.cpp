// The controls of the "LTO labels" dialog: the values on the left, what they
// make on the right, the buttons below.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QValidator>

#include "linomark_config.h"
#include "sheet/paper.h"
#include "symbology/lto.h"
#include "ui/column_list.h"
#include "ui/lto_dialog.h"
#include "ui/lto_preview.h"

namespace linomark {
namespace {

// Letters typed in lower case become upper case, ASCII only, whatever the
// locale: a Turkish i gives I, not a dotted capital. Everything else is let
// through so that a wrong character is named by the check, not swallowed.
class UpperCaseTyping : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = QString::fromStdString(LtoUpper(input.toStdString()));
        return Acceptable;
    }
};

template <class Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// "a4-3x17 (A4, 3 x 17 of 70 x 16.9 mm): 70 x 16.9 mm sheets sold as Avery
// Zweckform 3420 and compatibles", the product as --list-sheets names it.
QString StockText(const SheetLayout& stock) {
    const std::optional<Paper> paper = PaperNamed(stock.paper);
    return QStringLiteral("%1 (%2, %3 x %4 of %5 x %6 mm): %7")
        .arg(QString::fromStdString(stock.id),
             QString::fromStdString(paper ? PaperDisplayName(*paper) : stock.paper))
        .arg(stock.columns)
        .arg(stock.rows)
        .arg(stock.labelWidth)
        .arg(stock.labelHeight)
        .arg(QString::fromStdString(stock.stock));
}

}  // namespace

void LtoDialog::BuildControls() {
    setWindowTitle(tr("LTO labels - %1").arg(QString::fromUtf8(kProgramTitle)));
    picLabel = Named(new QLabel(this), "picLabel");
    picLabel->setAlignment(Qt::AlignCenter);
    picLabel->setMinimumSize(450, 130);
    picSheet = Named(new SheetMiniature(this), "picSheet");
    auto* legend = new QLabel(tr("Blue: this run's labels. Grey: left blank. White: free."), this);
    legend->setAlignment(Qt::AlignCenter);
    lblSummary = Named(new QLabel(this), "lblSummary");
    lblSummary->setWordWrap(true);
    lblSummary->setTextFormat(Qt::PlainText);
    lblSummary->setMinimumHeight(2 * fontMetrics().height());
    auto* shown = new QVBoxLayout;
    shown->addWidget(picLabel);
    shown->addWidget(picSheet, 1);
    shown->addWidget(legend);
    auto* top = new QHBoxLayout;
    top->addLayout(BuildValues());
    top->addLayout(shown, 1);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top);
    whole->addWidget(lblSummary);
    whole->addLayout(BuildButtons());
}

QLayout* LtoDialog::BuildValues() {
    txtFirstSerial = Named(new QLineEdit(this), "txtFirstSerial");
    txtFirstSerial->setValidator(new UpperCaseTyping(txtFirstSerial));
    spnCount = Named(new QSpinBox(this), "spnCount");
    spnCount->setRange(1, kLtoMaxCount);
    txtList = Named(new QPlainTextEdit(this), "txtList");
    txtList->setToolTip(
        tr("One serial or tag (ABC100L9) a line, optionally its own media ID; or mtx status"));
    // A tab is no character of a serial: the key moves on, as in a form.
    txtList->setTabChangesFocus(true);
    BoundListBox(*txtList);
    chkList = Named(new QCheckBox(tr("Use a &list"), this), "chkList");
    BuildMediaIds();
    BuildSheets();
    spnStartAt = Named(new QSpinBox(this), "spnStartAt");
    spnStartAt->setRange(1, kLtoMaxCount);
    chkColour = Named(new QCheckBox(tr("Colou&r"), this), "chkColour");
    values = new QFormLayout;
    values->addRow(chkList);
    values->addRow(tr("&First serial:"), txtFirstSerial);
    values->addRow(tr("&Count:"), spnCount);
    values->addRow(txtList);
    values->addRow(tr("&Media ID:"), cmbMediaId);
    values->addRow(tr("S&heet:"), cmbSheet);
    values->addRow(tr("&Start at label:"), spnStartAt);
    values->addRow(chkColour);
    return values;
}

// The list takes the place of the first serial and the count.
void LtoDialog::ShowRunOrList(bool list) {
    values->setRowVisible(txtFirstSerial, !list);
    values->setRowVisible(spnCount, !list);
    values->setRowVisible(txtList, list);
}

// The known IDs with what they are for; the box holds the ID alone, and any
// other two characters may be typed.
void LtoDialog::BuildMediaIds() {
    cmbMediaId = Named(new QComboBox(this), "cmbMediaId");
    cmbMediaId->setEditable(true);
    cmbMediaId->setInsertPolicy(QComboBox::NoInsert);
    // A completer would turn a typed "L9" into the whole item text.
    cmbMediaId->setCompleter(nullptr);
    cmbMediaId->lineEdit()->setValidator(new UpperCaseTyping(cmbMediaId));
    for (const MediaId& known : KnownMediaIds()) {
        const QString id = QString::fromUtf8(known.id.data(), qsizetype(known.id.size()));
        cmbMediaId->addItem(QStringLiteral("%1  %2").arg(
                                id, QString::fromUtf8(known.description.data(),
                                                      qsizetype(known.description.size()))),
                            id);
    }
    cmbMediaId->setMaxVisibleItems(cmbMediaId->count());
}

void LtoDialog::BuildSheets() {
    cmbSheet = Named(new QComboBox(this), "cmbSheet");
    // The box shows the start of a line; its list shows them whole.
    cmbSheet->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbSheet->setMinimumContentsLength(36);
    for (const SheetLayout& stock : LtoStocks()) {
        cmbSheet->addItem(StockText(stock), QString::fromStdString(stock.id));
        cmbSheet->setItemData(cmbSheet->count() - 1, QString::fromStdString(stock.stock),
                              Qt::ToolTipRole);
    }
    cmbSheet->addItem(tr("Custom..."), QString::fromStdString(settings.custom.id));
}

QLayout* LtoDialog::BuildButtons() {
    cmdPrint = Named(new QPushButton(tr("&Print"), this), "cmdPrint");
    cmdPrint->setDefault(true);
    cmdSavePdf = Named(new QPushButton(tr("Save as P&DF..."), this), "cmdSavePdf");
    cmdOutlines = Named(new QPushButton(tr("Print &outlines"), this), "cmdOutlines");
    cmdOutlines->setToolTip(
        tr("The stock's label outlines with a cross at every corner, to hold against the stock"));
    cmdClose = Named(new QPushButton(tr("Close"), this), "cmdClose");
    // The printer Print sends to, once the print service has named it.
    lblPrinter = Named(new QLabel(this), "lblPrinter");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrint);
    buttons->addWidget(lblPrinter);
    buttons->addWidget(cmdSavePdf);
    buttons->addWidget(cmdOutlines);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    return buttons;
}

void LtoDialog::WireEvents() {
    connect(txtFirstSerial, &QLineEdit::textChanged, this, &LtoDialog::Refresh);
    connect(spnCount, &QSpinBox::valueChanged, this, &LtoDialog::Refresh);
    connect(txtList, &QPlainTextEdit::textChanged, this, &LtoDialog::UpperCaseList);
    connect(chkList, &QCheckBox::toggled, this, &LtoDialog::ShowRunOrList);
    connect(chkList, &QCheckBox::toggled, this, &LtoDialog::Refresh);
    connect(cmbMediaId, &QComboBox::editTextChanged, this, &LtoDialog::Refresh);
    connect(cmbMediaId, &QComboBox::activated, this,
            [this](int index) { cmbMediaId->setEditText(cmbMediaId->itemData(index).toString()); });
    connect(cmbSheet, &QComboBox::activated, this, &LtoDialog::ChooseSheet);
    connect(spnStartAt, &QSpinBox::valueChanged, this, &LtoDialog::KeepStart);
    connect(chkColour, &QCheckBox::toggled, this, &LtoDialog::Refresh);
    connect(chkColour, &QCheckBox::clicked, this, [this](bool on) { settings.colour = on; });
    connect(cmdPrint, &QPushButton::clicked, this, &LtoDialog::PrintLabels);
    connect(cmdSavePdf, &QPushButton::clicked, this, &LtoDialog::SaveAsPdf);
    connect(cmdOutlines, &QPushButton::clicked, this, &LtoDialog::PrintOutlines);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(&service, &PrintService::finished, this, &LtoDialog::JobFinished);
    connect(&service, &PrintService::printerAnswered, this, &LtoDialog::ApplyPrinterDefaults);
}

}  // namespace linomark
