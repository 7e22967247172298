#include "ui/lto_preview.h"

#include <QPainter>
#include <algorithm>

#include "sheet/paper.h"

namespace linomark {
namespace {

// The miniature's colours: a used cell blue, a skipped one grey, a free one white.
constexpr QColor kUsedCell(70, 130, 200);
constexpr QColor kSkippedCell(200, 200, 200);
constexpr QColor kFreeCell(255, 255, 255);

QColor CellColour(CellUse use) {
    switch (use) {
        case CellUse::Used:
            return kUsedCell;
        case CellUse::Skipped:
            return kSkippedCell;
        case CellUse::Free:
            break;
    }
    return kFreeCell;
}

}  // namespace

SheetMiniature::SheetMiniature(QWidget* parent) : QWidget(parent) { setMinimumSize(150, 200); }

void SheetMiniature::Show(const SheetLayout& stock, std::vector<CellUse> firstSheet) {
    shown = stock;
    cells = std::move(firstSheet);
    update();
}

// The paper at the largest scale that fits the widget, centred.
QRectF SheetMiniature::PaperRect(float paperWidth, float paperHeight) const {
    const double scale = std::min((width() - 2) / paperWidth, (height() - 2) / paperHeight);
    const QSizeF size(paperWidth * scale, paperHeight * scale);
    return {QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

void SheetMiniature::paintEvent(QPaintEvent*) {
    const std::optional<Paper> paper = PaperNamed(shown.paper);
    if (!paper) return;
    const QRectF sheet = PaperRect(paper->width, paper->height);
    const double scale = sheet.width() / paper->width;
    QPainter painter(this);
    painter.fillRect(sheet, Qt::white);
    painter.setPen(Qt::darkGray);
    painter.drawRect(sheet);
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
        const int column = static_cast<int>(cell) % shown.columns;
        const int row = static_cast<int>(cell) / shown.columns;
        const QRectF box(sheet.left() + (shown.left + column * shown.pitchX) * scale,
                         sheet.top() + (shown.top + row * shown.pitchY) * scale,
                         shown.labelWidth * scale, shown.labelHeight * scale);
        painter.fillRect(box, CellColour(cells[cell]));
        painter.drawRect(box);
    }
}

}  // namespace linomark
