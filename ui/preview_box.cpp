#include "ui/preview_box.h"

#include <QPainter>

namespace linomark {

// The picture is made at the box's device pixel ratio, so that its bars are
// drawn in real pixels on a high-DPI screen rather than scaled up afterwards.
PreviewBox::PreviewBox(QWidget* parent)
    : QWidget(parent), picture(parent->font(), parent->devicePixelRatioF()) {
    // The picture covers the whole box; nothing behind it needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool PreviewBox::SetDevicePixelRatio(qreal ratio) {
    if (qFuzzyCompare(ratio, picture.Picture().devicePixelRatio())) return false;
    picture.SetDevicePixelRatio(ratio);
    update();
    return true;
}

void PreviewBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), picture.Picture());
}

}  // namespace linomark
