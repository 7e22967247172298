#include "ui/lto_custom_sheet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "linomark_config.h"
#include "settings/lto_store.h"

namespace linomark {

CustomSheetDialog::CustomSheetDialog(const SheetLayout& layout, QWidget* parent)
    : QDialog(parent), start(layout) {
    setWindowTitle(tr("Custom sheet - %1").arg(QString::fromUtf8(kProgramTitle)));
    auto* form = new QFormLayout;
    paper = new QComboBox(this);
    paper->setObjectName(QStringLiteral("cmbPaper"));
    for (const char* name : kCustomPapers) paper->addItem(QString::fromLatin1(name));
    paper->setCurrentText(CustomPaperShown(layout.paper));
    form->addRow(tr("&Paper:"), paper);
    connect(paper, &QComboBox::currentIndexChanged, this, &CustomSheetDialog::Check);
    for (const CustomLength& length : kCustomLengths) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QString::fromLatin1(length.key));
        box->setRange(0.0, kLargestLength);
        box->setDecimals(2);
        box->setValue(layout.*length.field);
        form->addRow(tr(length.label), box);
        connect(box, &QDoubleSpinBox::valueChanged, this, &CustomSheetDialog::Check);
        lengths.push_back(box);
    }
    for (const CustomCount& count : kCustomCounts) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(count.key));
        box->setRange(1, kLargestGrid);
        box->setValue(layout.*count.field);
        form->addRow(tr(count.label), box);
        connect(box, &QSpinBox::valueChanged, this, &CustomSheetDialog::Check);
        counts.push_back(box);
    }
    refusal = new QLabel(this);
    refusal->setObjectName(QStringLiteral("lblRefusal"));
    refusal->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addLayout(form);
    layoutBox->addWidget(refusal);
    layoutBox->addWidget(buttons);
    Check();
}

SheetLayout CustomSheetDialog::Layout() const {
    SheetLayout layout = start;
    layout.paper = CustomPaperName(paper->currentText());
    for (std::size_t i = 0; i < lengths.size(); ++i)
        layout.*kCustomLengths[i].field = static_cast<float>(lengths[i]->value());
    for (std::size_t i = 0; i < counts.size(); ++i)
        layout.*kCustomCounts[i].field = counts[i]->value();
    return OnePerPage() ? OneLabelAPageOf(layout) : layout;
}

bool CustomSheetDialog::OnePerPage() const {
    return paper->currentText() == QLatin1String(kOneLabelAPagePaper);
}

// On a page of its own the label's size is all there is: no grid, no edges.
void CustomSheetDialog::Check() {
    for (std::size_t i = kLabelSizeBoxes; i < lengths.size(); ++i)
        lengths[i]->setEnabled(!OnePerPage());
    for (QSpinBox* box : counts) box->setEnabled(!OnePerPage());
    const Outcome<Done> checked = CheckLayout(Layout());
    refusal->setText(checked ? QString() : QString::fromStdString(checked.Reason()));
    ok->setEnabled(checked.Ok());
}

}  // namespace linomark
