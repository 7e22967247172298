// The miniature of the first sheet that the "LTO labels" dialog shows as the
// user types, with its used, skipped and free cells.
#pragma once

#include <QWidget>
#include <vector>

#include "sheet/lto_picture.h"

namespace linomark {

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
