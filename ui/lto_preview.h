// What the "LTO labels" dialog shows as the user types: the first label at a
// readable size, drawn by the same procedure as on paper, and a miniature of
// the first sheet with its used, skipped and free cells.
#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "sheet/sheet_layouts.h"
#include "symbology/lto.h"

namespace linomark {

// The label as printed, on a white ground with a grey edge where the label's
// edge is, in device pixels of the given ratio.
QImage LtoLabelPicture(const LtoLabel& label, const SheetLayout& stock, bool colour,
                       qreal pixelRatio);

enum class CellUse { Skipped, Used, Free };

// The cells of the first sheet in cell order: skipped before the start and
// for a blank line of a list, used for a label, free after the last one.
std::vector<CellUse> FirstSheetCells(const SheetLayout& stock, int startAt,
                                     const std::vector<LtoLabel>& labels);

class SheetMiniature : public QWidget {
    Q_OBJECT

public:
    explicit SheetMiniature(QWidget* parent = nullptr);

    void Show(const SheetLayout& stock, std::vector<CellUse> cells);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] QRectF PaperRect(float paperWidth, float paperHeight) const;

    SheetLayout shown;
    std::vector<CellUse> cells;
};

}  // namespace linomark
