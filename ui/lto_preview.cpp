#include "ui/lto_preview.h"

#include <QPainter>
#include <algorithm>

#include "drawing/lto_label.h"
#include "drawing/page_surface.h"
#include "sheet/paper.h"

namespace linomark {
namespace {

// 5 pixels a millimetre shows the 3 mm characters 15 pixels tall; a larger
// custom label is scaled down to stay inside the dialog.
constexpr double kPixelsPerMillimetre = 5.0;
constexpr double kLargestPictureWidth = 440.0;
constexpr double kLargestPictureHeight = 120.0;
constexpr double kMillimetresPerMetre = 1000.0;
constexpr QColor kLabelEdge(160, 160, 160);

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

QImage LtoLabelPicture(const LtoLabel& label, const SheetLayout& stock, bool colour,
                       qreal pixelRatio) {
    const double scale = std::min({kPixelsPerMillimetre, kLargestPictureWidth / stock.labelWidth,
                                   kLargestPictureHeight / stock.labelHeight}) *
                         pixelRatio;
    QImage picture(qCeil(stock.labelWidth * scale), qCeil(stock.labelHeight * scale),
                   QImage::Format_RGB32);
    picture.setDotsPerMeterX(qRound(scale * kMillimetresPerMetre));
    picture.setDotsPerMeterY(qRound(scale * kMillimetresPerMetre));
    {
        PageSurface page(picture);
        page.SetUnitToMillimetres();
        page.Clear();
        if (!label.serial.empty()) {
            const std::string value = label.serial + label.mediaId;
            PrintLtoLabel(page, 0.0f, 0.0f, std::u32string(value.begin(), value.end()),
                          {stock.labelWidth, stock.labelHeight, colour});
        }
        page.EndDocument();
    }
    QPainter edge(&picture);
    edge.setPen(kLabelEdge);
    edge.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    edge.end();
    picture.setDevicePixelRatio(pixelRatio);
    return picture;
}

std::vector<CellUse> FirstSheetCells(const SheetLayout& stock, int startAt,
                                     const std::vector<LtoLabel>& labels) {
    const std::size_t size = static_cast<std::size_t>(std::max(LabelsPerSheet(stock), 0));
    std::vector<CellUse> cells(size, CellUse::Free);
    std::size_t cell = 0;
    for (; cell + 1 < static_cast<std::size_t>(startAt) && cell < size; ++cell)
        cells[cell] = CellUse::Skipped;
    for (std::size_t i = 0; i < labels.size() && cell < size; ++i, ++cell)
        cells[cell] = labels[i].serial.empty() ? CellUse::Skipped : CellUse::Used;
    return cells;
}

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
