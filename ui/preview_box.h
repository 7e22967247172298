// The preview box: shows its preview picture, which keeps the last preview
// (and its font) until the next one.
#pragma once

#include <QWidget>
#include <functional>

#include "drawing/preview_picture.h"

namespace linomark {

class PreviewBox : public QWidget {
    Q_OBJECT

public:
    explicit PreviewBox(QWidget* parent);

    // Draws a preview; call update() afterwards to show the result.
    void Draw(const std::function<void(DrawingSurface& box)>& preview) { picture.Draw(preview); }
    [[nodiscard]] const QImage& Picture() const { return picture.Picture(); }
    // Puts back a picture the box showed before.
    void Restore(const QImage& earlier) { picture.Restore(earlier); }
    // A new, blank picture when the ratio differs from the current one;
    // returns whether it did.
    bool SetDevicePixelRatio(qreal ratio);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PreviewPicture picture;
};

}  // namespace linomark
