#include "drawing/preview_picture.h"

#include <cmath>

#include "drawing/painter_surface.h"

namespace linomark {

namespace {

// 96 dots per inch, so that a point is 4/3 of a logical pixel.
constexpr int kDotsPerMetre = 3780;
// The box has one scale: a unit stays the same size after
// SetUnitToMillimetres. 217 / 53 = 4.094 pixels across, 77 / 20.373 = 3.780
// pixels down.
constexpr QSizeF kPixelsPerUnit(PreviewPicture::kPixelWidth / double{PreviewPicture::kUnitWidth},
                                PreviewPicture::kPixelHeight / double{PreviewPicture::kUnitHeight});
constexpr SurfaceTransform kBoxTransform{
    QPointF(0, 0), kPixelsPerUnit, kPixelsPerUnit,
    QSizeF(PreviewPicture::kPixelWidth, PreviewPicture::kPixelHeight)};

}  // namespace

PreviewPicture::PreviewPicture(const QFont& startFont, qreal devicePixelRatio) : font(startFont) {
    font.setBold(false);
    font.setKerning(false);
    SetDevicePixelRatio(devicePixelRatio);
}

void PreviewPicture::SetDevicePixelRatio(qreal ratio) {
    const int width = static_cast<int>(std::lround(kPixelWidth * ratio));
    const int height = static_cast<int>(std::lround(kPixelHeight * ratio));
    picture = QImage(width, height, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.setDotsPerMeterX(kDotsPerMetre);
    picture.setDotsPerMeterY(kDotsPerMetre);
    picture.fill(Qt::white);
}

void PreviewPicture::Draw(const std::function<void(DrawingSurface& box)>& preview) {
    PainterSurface box(picture, kBoxTransform, font);
    preview(box);
    box.EndDocument();
    font = box.Font();
}

}  // namespace linomark
