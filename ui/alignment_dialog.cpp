#include "ui/alignment_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "linomark_config.h"
#include "ui/alignment_store.h"

namespace linomark {

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
    layout->addLayout(offsets);
    layout->addWidget(buttons);
}

AlignmentOffset AlignmentDialog::Offset() const {
    return {static_cast<float>(offsetX->value()), static_cast<float>(offsetY->value())};
}

QDoubleSpinBox* AlignmentDialog::MakeOffsetBox(const char* name, float value) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(-kLargestOffset, kLargestOffset);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(tr(" mm"));
    box->setValue(value);
    return box;
}

}  // namespace linomark
