#include "drawing/painter_surface.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPen>
#include <QString>

#include "drawing/text_runs.h"

namespace linomark {

namespace {

constexpr double kMillimetresPerInch = 25.4;

// Qt's dash-dot pattern (dash 4, gap 2, dot 1, gap 2) counts device pixels
// for a one-pixel pen: 0.08 mm dashes at 1200 dpi, a grey line to the eye. One
// pattern step is made 0.5 mm instead: 2 mm dashes, 0.5 mm dots, 1 mm gaps.
constexpr double kDashStepMillimetres = 0.5;

QPen LinePen(PenStyle style, const QColor& ink, double pixelsPerMillimetre) {
    QPen pen(ink, 0.0);  // width 0: one device pixel (a cosmetic pen)
    if (style == PenStyle::DashDot) {
        const double step = kDashStepMillimetres * pixelsPerMillimetre;
        pen.setDashPattern({4 * step, 2 * step, step, 2 * step});
    }
    return pen;
}

}  // namespace

PainterSurface::PainterSurface(QPaintDevice& device, const SurfaceTransform& transform,
                               const QFont& startFont)
    : device(device), transform(transform), font(startFont) {}

PainterSurface::~PainterSurface() { Abandon(); }

void PainterSurface::SetUnitToMillimetres() {
    transform.pixelsPerUnit = transform.pixelsPerMillimetre;
}

// The whole device, in the pixels of a painter that counts them before the
// device pixel ratio.
void PainterSurface::Clear() {
    QPainter& painting = Open();
    const qreal ratio = device.devicePixelRatio();
    painting.fillRect(QRectF(0, 0, device.width() / ratio, device.height() / ratio), Qt::white);
}

void PainterSurface::SetPenStyle(PenStyle style) { penStyle = style; }

// The font metrics are taken on the device itself, so points become the
// device's pixels at its own resolution, as the painter will draw them.
void PainterSurface::PrintText(const std::u32string& text) {
    QPainter& painting = Open();
    painting.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const QPointF topLeft = ToDevice(currentX, currentY);
    const TextRun run =
        VisibleRun(font, &device, ToQString(text), topLeft.x(), transform.area.width());
    if (!run.text.isEmpty()) {
        // Only a change of ink sets the pen, so black text writes no colour.
        if (painting.pen().color() != ink) painting.setPen(ink);
        painting.drawText(QPointF(run.left, topLeft.y() + metrics.ascent()), run.text);
    }
    currentX = 0.0f;
    currentY += static_cast<float>(metrics.lineSpacing() / transform.pixelsPerUnit.height());
}

float PainterSurface::TextWidth(const std::u32string& text) {
    const qreal pixels = TextAdvance(font, &device, ToQString(text));
    return static_cast<float>(pixels / transform.pixelsPerUnit.width());
}

void PainterSurface::DrawLine(float x1, float y1, float x2, float y2) {
    QPainter& painting = Open();
    const QPointF from = ToDevice(x1, y1);
    const QPointF to = ToDevice(x2, y2);
    if (!OnDevice(QRectF(from, to).normalized().adjusted(-1, -1, 1, 1))) return;
    painting.setPen(LinePen(penStyle, ink, device.logicalDpiX() / kMillimetresPerInch));
    painting.drawLine(from, to);
}

void PainterSurface::FillBox(float x1, float y1, float x2, float y2) {
    QPainter& painting = Open();
    const QRectF box = QRectF(ToDevice(x1, y1), ToDevice(x2, y2)).normalized();
    if (!OnDevice(box)) return;
    painting.fillRect(box, ink);
}

void PainterSurface::SetColour(Rgb colour) { ink = QColor(colour.r, colour.g, colour.b); }

void PainterSurface::NewPage() {
    auto* paged = dynamic_cast<QPagedPaintDevice*>(&device);
    if (!paged) {
        Clear();
        return;
    }
    Open();
    if (!paged->newPage()) {
        throw SurfaceError("A new page could not be started on the output device.");
    }
}

float PainterSurface::InnerWidth() const {
    return static_cast<float>((transform.area.width() - transform.origin.x()) /
                              transform.pixelsPerUnit.width());
}

float PainterSurface::InnerHeight() const {
    return static_cast<float>((transform.area.height() - transform.origin.y()) /
                              transform.pixelsPerUnit.height());
}

void PainterSurface::EndDocument() {
    ended = true;
    if (painter.isActive() && !painter.end()) {
        throw SurfaceError("The page could not be finished on the output device.");
    }
}

void PainterSurface::Abandon() noexcept {
    ended = true;
    if (painter.isActive()) {
        painter.end();
    }
}

QPainter& PainterSurface::Open() {
    if (ended) {
        throw SurfaceError("The page has already been finished.");
    }
    if (!painter.isActive() && !painter.begin(&device)) {
        throw SurfaceError("The output device could not be opened for drawing.");
    }
    return painter;
}

QPointF PainterSurface::ToDevice(float x, float y) const {
    return {transform.origin.x() + x * transform.pixelsPerUnit.width(),
            transform.origin.y() + y * transform.pixelsPerUnit.height()};
}

bool PainterSurface::OnDevice(const QRectF& deviceRect) const {
    return deviceRect.right() >= 0.0 && deviceRect.bottom() >= 0.0 &&
           deviceRect.left() <= transform.area.width() &&
           deviceRect.top() <= transform.area.height();
}

}  // namespace linomark
