// The alignment of the sheet on the default printer: two offsets in
// millimetres, kept for that printer, and a way to print the alignment sheet
// with the offsets as they stand in the dialog.
#pragma once

#include <QDialog>

#include "print/print_requests.h"

class QDoubleSpinBox;

namespace linomark {

class AlignmentDialog : public QDialog {
    Q_OBJECT

public:
    // An empty queue means there is no default printer: nothing can be set.
    AlignmentDialog(const QString& queue, const AlignmentOffset& offset, QWidget* parent);

    [[nodiscard]] AlignmentOffset Offset() const;

signals:
    void alignmentSheetRequested();

private:
    QDoubleSpinBox* MakeOffsetBox(const char* name, float value);

    QDoubleSpinBox* offsetX = nullptr;
    QDoubleSpinBox* offsetY = nullptr;
};

}  // namespace linomark
