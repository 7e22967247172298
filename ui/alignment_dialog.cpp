#include "ui/alignment_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "linomark_config.h"
#include "settings/alignment_store.h"

namespace linomark {
namespace {

// An offset box that reads "1.5" and "1,5" alike in every locale and knows
// no group separator: a German "-1.4" is not -14, nor a Japanese "1,5" 15.
// It shows the value with a point, as it is stored.
class OffsetBox : public QDoubleSpinBox {
public:
    explicit OffsetBox(QWidget* parent) : QDoubleSpinBox(parent) {
        QLocale plain = QLocale::c();
        plain.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        setLocale(plain);
    }

    QValidator::State validate(QString& text, int& position) const override {
        QString dotted = WithPoint(text);
        return QDoubleSpinBox::validate(dotted, position);
    }

    double valueFromText(const QString& text) const override {
        return QDoubleSpinBox::valueFromText(WithPoint(text));
    }

private:
    static QString WithPoint(QString text) { return text.replace(u',', u'.'); }
};

// What to measure and which sign to give it: a positive offset moves the
// whole sheet right and down.
QLabel* HowToLabel(QWidget* parent) {
    auto* howTo = new QLabel(
        AlignmentDialog::tr(
            "Print the alignment sheet on plain paper and lay it on a label sheet against the "
            "light: each cross marks where a label's bars begin.\n"
            "If the crosses sit 1.5 mm right of where the bars belong, enter -1.5 in Right; "
            "if they sit 1.5 mm too high, enter 1.5 in Down."),
        parent);
    howTo->setObjectName(QStringLiteral("lblHowTo"));
    howTo->setWordWrap(true);
    return howTo;
}

}  // namespace

AlignmentDialog::AlignmentDialog(const QString& queue, const AlignmentOffset& offset,
                                 QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Alignment - %1").arg(QString::fromUtf8(kProgramTitle)));
    auto* printer = new QLabel(
        queue.isEmpty() ? tr("No default printer is set up. Offsets are kept for each printer.")
                        : tr("Move the whole sheet on the printer %1.").arg(queue),
        this);
    printer->setObjectName(QStringLiteral("lblPrinter"));
    printer->setWordWrap(true);
    QLabel* howTo = HowToLabel(this);
    offsetX = MakeOffsetBox("OffsetX", offset.x);
    offsetY = MakeOffsetBox("OffsetY", offset.y);
    auto* offsets = new QFormLayout;
    offsets->addRow(tr("&Right (negative: left):"), offsetX);
    offsets->addRow(tr("&Down (negative: up):"), offsetY);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* sheet =
        buttons->addButton(tr("Print &alignment sheet"), QDialogButtonBox::ActionRole);
    sheet->setObjectName(QStringLiteral("cmdAlignmentSheet"));
    for (QWidget* control : {static_cast<QWidget*>(offsetX), static_cast<QWidget*>(offsetY),
                             static_cast<QWidget*>(sheet),
                             static_cast<QWidget*>(buttons->button(QDialogButtonBox::Ok))}) {
        control->setEnabled(!queue.isEmpty());
    }
    connect(sheet, &QPushButton::clicked, this, &AlignmentDialog::alignmentSheetRequested);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printer);
    layout->addWidget(howTo);
    layout->addLayout(offsets);
    layout->addWidget(buttons);
}

AlignmentOffset AlignmentDialog::Offset() const {
    return {static_cast<float>(offsetX->value()), static_cast<float>(offsetY->value())};
}

QDoubleSpinBox* AlignmentDialog::MakeOffsetBox(const char* name, float value) {
    auto* box = new OffsetBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(-kLargestOffset, kLargestOffset);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(tr(" mm"));
    box->setValue(value);
    return box;
}

}  // namespace linomark
