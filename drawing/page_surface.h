// The printed page: the painter surface over a paged device (a QPdfWriter) or
// a picture standing in for paper, its origin at a given point of the device:
// the top-left corner of the printer's printable area, moved by the user's
// alignment offset. Until SetUnitToMillimetres the unit is the device pixel;
// then it is the millimetre, x * dpi / 25.4 pixels.
//
// Glyphs are placed unhinted: hinting snaps outlines to the pixel grid of a
// screen, which on paper only costs time and makes widths differ by device.
#pragma once

#include <QFont>
#include <QPaintDevice>
#include <QPointF>

#include "drawing/painter_surface.h"

namespace linomark {

class PageSurface : public PainterSurface {
public:
    // The origin is given in millimetres from the top-left corner of the
    // device.
    explicit PageSurface(QPaintDevice& device, QPointF originMillimetres = {})
        : PainterSurface(device, PageTransform(device, originMillimetres), UnhintedFont()) {}

private:
    static SurfaceTransform PageTransform(const QPaintDevice& device, QPointF originMillimetres) {
        const QSizeF perMillimetre(device.logicalDpiX() / kMillimetresPerInch,
                                   device.logicalDpiY() / kMillimetresPerInch);
        return {QPointF(originMillimetres.x() * device.logicalDpiX() / kMillimetresPerInch,
                        originMillimetres.y() * device.logicalDpiY() / kMillimetresPerInch),
                QSizeF(1.0, 1.0), perMillimetre, QSizeF(device.width(), device.height())};
    }
    static QFont UnhintedFont() {
        QFont font;
        font.setHintingPreference(QFont::PreferNoHinting);
        return font;
    }

    static constexpr double kMillimetresPerInch = 25.4;
};

}  // namespace linomark
