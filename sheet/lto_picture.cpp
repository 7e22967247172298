#include "sheet/lto_picture.h"

#include <QPainter>
#include <algorithm>

#include "drawing/lto_label.h"
#include "drawing/page_surface.h"

namespace linomark {
namespace {

// 5 pixels a millimetre shows the 3 mm characters 15 pixels tall; a larger
// custom label is scaled down to stay inside the dialog.
constexpr double kPixelsPerMillimetre = 5.0;
constexpr double kLargestPictureWidth = 440.0;
constexpr double kLargestPictureHeight = 120.0;
constexpr double kMillimetresPerMetre = 1000.0;
constexpr QColor kLabelEdge(160, 160, 160);

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

}  // namespace linomark
