#include "drawing/preview_surface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "drawing/text_runs.h"

namespace linomark {

namespace {

// 96 dots per inch, so that a point is 4/3 of a logical pixel.
constexpr int kDotsPerMetre = 3780;
constexpr double kPixelsPerUnitX = PreviewSurface::kPixelWidth / double{PreviewSurface::kUnitWidth};
constexpr double kPixelsPerUnitY =
    PreviewSurface::kPixelHeight / double{PreviewSurface::kUnitHeight};

// A box that lies wholly outside the picture would be clipped away whole; it
// is skipped before any painting so that a very long symbol stays cheap.
bool OutsideBox(float left, float top, float right, float bottom) {
    return right < 0.0f || bottom < 0.0f || left > PreviewSurface::kUnitWidth ||
           top > PreviewSurface::kUnitHeight;
}

}  // namespace

PreviewSurface::PreviewSurface(const QFont& startFont, qreal devicePixelRatio)
    : FontStateSurface(startFont) {
    font.setBold(false);
    font.setKerning(false);
    SetDevicePixelRatio(devicePixelRatio);
}

void PreviewSurface::SetDevicePixelRatio(qreal ratio) {
    const int width = static_cast<int>(std::lround(kPixelWidth * ratio));
    const int height = static_cast<int>(std::lround(kPixelHeight * ratio));
    picture = QImage(width, height, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.setDotsPerMeterX(kDotsPerMetre);
    picture.setDotsPerMeterY(kDotsPerMetre);
    picture.fill(Qt::white);
}

// Through a painter like every other operation, so that a picture that
// cannot be painted on fails here, before anything of it has changed.
void PreviewSurface::Clear() {
    QPainter painter;
    BeginPainting(painter);
    painter.fillRect(QRectF(QPointF(0, 0), picture.deviceIndependentSize()), Qt::white);
}

void PreviewSurface::SetPenStyle(PenStyle style) {
    penStyle = style == PenStyle::DashDot ? Qt::DashDotLine : Qt::SolidLine;
}

void PreviewSurface::PrintText(const std::u32string& text) {
    const QFontMetricsF metrics(font, &picture);
    const QPointF topLeft = ToPixels(currentX, currentY);
    const TextRun run = VisibleRun(font, &picture, ToQString(text), topLeft.x(), kPixelWidth);
    QPainter painter;
    BeginPainting(painter);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QPointF(run.left, topLeft.y() + metrics.ascent()), run.text);
    currentX = 0.0f;
    currentY += static_cast<float>(metrics.lineSpacing() / kPixelsPerUnitY);
}

float PreviewSurface::TextWidth(const std::u32string& text) {
    const qreal pixels = TextAdvance(font, &picture, ToQString(text));
    return static_cast<float>(pixels / kPixelsPerUnitX);
}

void PreviewSurface::DrawLine(float x1, float y1, float x2, float y2) {
    QPainter painter;
    BeginPainting(painter);
    painter.setPen(QPen(ink, 0.0, penStyle));
    painter.drawLine(ToPixels(x1, y1), ToPixels(x2, y2));
}

void PreviewSurface::FillBox(float x1, float y1, float x2, float y2) {
    if (OutsideBox(std::fmin(x1, x2), std::fmin(y1, y2), std::fmax(x1, x2), std::fmax(y1, y2))) {
        return;
    }
    QPainter painter;
    BeginPainting(painter);
    painter.fillRect(QRectF(ToPixels(x1, y1), ToPixels(x2, y2)).normalized(), ink);
}

void PreviewSurface::SetColour(Rgb colour) { ink = QColor(colour.r, colour.g, colour.b); }

void PreviewSurface::NewPage() { Clear(); }

QPointF PreviewSurface::ToPixels(float x, float y) const {
    return {x * kPixelsPerUnitX, y * kPixelsPerUnitY};
}

// Every operation paints with a painter of its own, so the picture is never
// held by an open painter when the window shows it.
void PreviewSurface::BeginPainting(QPainter& painter) {
    if (!painter.begin(&picture)) {
        throw SurfaceError("The preview picture could not be drawn on.");
    }
}

}  // namespace linomark
