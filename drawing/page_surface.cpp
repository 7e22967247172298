#include "drawing/page_surface.h"

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

// Glyphs are placed unhinted: hinting snaps outlines to the pixel grid of a
// screen, which on paper only costs time and makes widths differ by device.
PageSurface::PageSurface(QPaintDevice& device, QPointF originMillimetres)
    : device(device),
      originPixels(originMillimetres.x() * device.logicalDpiX() / kMillimetresPerInch,
                   originMillimetres.y() * device.logicalDpiY() / kMillimetresPerInch) {
    font.setHintingPreference(QFont::PreferNoHinting);
}

PageSurface::~PageSurface() { Abandon(); }

void PageSurface::SetUnitToMillimetres() {
    pixelsPerUnitX = device.logicalDpiX() / kMillimetresPerInch;
    pixelsPerUnitY = device.logicalDpiY() / kMillimetresPerInch;
}

void PageSurface::Clear() {
    QPainter& page = OpenPage();
    page.fillRect(QRect(0, 0, device.width(), device.height()), Qt::white);
}

void PageSurface::SetPenStyle(PenStyle style) { penStyle = style; }

// The font metrics are taken on the device itself, so points become the
// device's pixels at its own resolution, as the painter will draw them.
void PageSurface::PrintText(const std::u32string& text) {
    QPainter& page = OpenPage();
    page.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const QPointF topLeft = ToDevice(currentX, currentY);
    const TextRun run = VisibleRun(font, &device, ToQString(text), topLeft.x(), device.width());
    if (!run.text.isEmpty()) {
        // Only a change of ink sets the pen, so black text writes no colour.
        if (page.pen().color() != ink) page.setPen(ink);
        page.drawText(QPointF(run.left, topLeft.y() + metrics.ascent()), run.text);
    }
    currentX = 0.0f;
    currentY += static_cast<float>(metrics.lineSpacing() / pixelsPerUnitY);
}

float PageSurface::TextWidth(const std::u32string& text) {
    const qreal pixels = TextAdvance(font, &device, ToQString(text));
    return static_cast<float>(pixels / pixelsPerUnitX);
}

void PageSurface::DrawLine(float x1, float y1, float x2, float y2) {
    QPainter& page = OpenPage();
    const QPointF from = ToDevice(x1, y1);
    const QPointF to = ToDevice(x2, y2);
    if (!OnDevice(QRectF(from, to).normalized().adjusted(-1, -1, 1, 1))) return;
    page.setPen(LinePen(penStyle, ink, device.logicalDpiX() / kMillimetresPerInch));
    page.drawLine(from, to);
}

void PageSurface::FillBox(float x1, float y1, float x2, float y2) {
    QPainter& page = OpenPage();
    const QRectF box = QRectF(ToDevice(x1, y1), ToDevice(x2, y2)).normalized();
    if (!OnDevice(box)) return;
    page.fillRect(box, ink);
}

void PageSurface::SetColour(Rgb colour) { ink = QColor(colour.r, colour.g, colour.b); }

void PageSurface::NewPage() {
    auto* paged = dynamic_cast<QPagedPaintDevice*>(&device);
    OpenPage();
    if (!paged || !paged->newPage()) {
        throw SurfaceError("A new page could not be started on the output device.");
    }
}

float PageSurface::InnerWidth() const {
    return static_cast<float>((device.width() - originPixels.x()) / pixelsPerUnitX);
}

float PageSurface::InnerHeight() const {
    return static_cast<float>((device.height() - originPixels.y()) / pixelsPerUnitY);
}

void PageSurface::EndDocument() {
    pageEnded = true;
    if (painter.isActive() && !painter.end()) {
        throw SurfaceError("The page could not be finished on the output device.");
    }
}

void PageSurface::Abandon() noexcept {
    pageEnded = true;
    if (painter.isActive()) {
        painter.end();
    }
}

QPainter& PageSurface::OpenPage() {
    if (pageEnded) {
        throw SurfaceError("The page has already been finished.");
    }
    if (!painter.isActive() && !painter.begin(&device)) {
        throw SurfaceError("The output device could not be opened for drawing.");
    }
    return painter;
}

QPointF PageSurface::ToDevice(float x, float y) const {
    return {originPixels.x() + x * pixelsPerUnitX, originPixels.y() + y * pixelsPerUnitY};
}

bool PageSurface::OnDevice(const QRectF& deviceRect) const {
    return deviceRect.right() >= 0.0 && deviceRect.bottom() >= 0.0 &&
           deviceRect.left() <= device.width() && deviceRect.top() <= device.height();
}

}  // namespace linomark
