// The user's own label sheet: its paper, label size, grid, first label's
// position and pitches, checked as they are typed; OK is refused until the
// layout fits its paper.
#pragma once

#include <QDialog>
#include <vector>

#include "sheet/sheet_layouts.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace linomark {

class CustomSheetDialog : public QDialog {
    Q_OBJECT

public:
    CustomSheetDialog(const SheetLayout& layout, QWidget* parent);

    [[nodiscard]] SheetLayout Layout() const;

private:
    // The first lengths are the label's width and height.
    static constexpr std::size_t kLabelSizeBoxes = 2;

    [[nodiscard]] bool OnePerPage() const;
    void Check();

    SheetLayout start;
    QComboBox* paper = nullptr;
    std::vector<QDoubleSpinBox*> lengths;  // in the order of kCustomLengths
    std::vector<QSpinBox*> counts;         // in the order of kCustomCounts
    QLabel* refusal = nullptr;
    QPushButton* ok = nullptr;
};

}  // namespace linomark
