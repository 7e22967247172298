// The preview box: shows the picture of its preview surface, which keeps it
// (and its font) from one preview to the next.
#pragma once

#include <QWidget>

#include "drawing/preview_surface.h"

namespace linomark {

class PreviewBox : public QWidget {
    Q_OBJECT

public:
    explicit PreviewBox(QWidget* parent);

    // Where the previews draw; call update() afterwards to show the result.
    [[nodiscard]] DrawingSurface& Surface() { return surface; }
    [[nodiscard]] const QImage& Picture() const { return surface.Picture(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PreviewSurface surface;
};

}  // namespace linomark
