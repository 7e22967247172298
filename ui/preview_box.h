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
    // Puts back a picture the box showed before.
    void Restore(const QImage& picture) { surface.Restore(picture); }
    // A new, blank picture when the ratio differs from the current one;
    // returns whether it did.
    bool SetDevicePixelRatio(qreal ratio);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PreviewSurface surface;
};

}  // namespace linomark
