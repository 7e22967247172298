#include "drawing/page_surface.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPen>
#include <QString>

namespace linomark {

namespace {

constexpr double kMillimetresPerInch = 25.4;

QString ToQString(const std::u32string& text) {
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt's dash-dot pattern (dash 4, gap 2, dot 1, gap 2) counts device pixels
// for a one-pixel pen: 0.08 mm dashes at 1200 dpi, a grey line to the eye. One
// pattern step is made 0.5 mm instead: 2 mm dashes, 0.5 mm dots, 1 mm gaps.
constexpr double kDashStepMillimetres = 0.5;

QPen LinePen(PenStyle style, double pixelsPerMillimetre) {
    QPen pen(Qt::black, 0.0);  // width 0: one device pixel (a cosmetic pen)
    if (style == PenStyle::DashDot) {
        const double step = kDashStepMillimetres * pixelsPerMillimetre;
        pen.setDashPattern({4 * step, 2 * step, step, 2 * step});
    }
    return pen;
}

}  // namespace

// Glyphs are placed unhinted: hinting snaps outlines to the pixel grid of a
// screen, which on paper only costs time and makes widths differ by device.
PageSurface::PageSurface(QPaintDevice& device) : device(device) {
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
    page.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), ToQString(text));
    currentX = 0.0f;
    currentY += static_cast<float>(metrics.lineSpacing() / pixelsPerUnitY);
}

float PageSurface::TextWidth(const std::u32string& text) {
    const QFontMetricsF metrics(font, &device);
    return static_cast<float>(metrics.horizontalAdvance(ToQString(text)) / pixelsPerUnitX);
}

void PageSurface::DrawLine(float x1, float y1, float x2, float y2) {
    QPainter& page = OpenPage();
    page.setPen(LinePen(penStyle, device.logicalDpiX() / kMillimetresPerInch));
    page.drawLine(ToDevice(x1, y1), ToDevice(x2, y2));
}

void PageSurface::FillBox(float x1, float y1, float x2, float y2) {
    QPainter& page = OpenPage();
    page.fillRect(QRectF(ToDevice(x1, y1), ToDevice(x2, y2)).normalized(), Qt::black);
}

float PageSurface::InnerWidth() const {
    return static_cast<float>(device.width() / pixelsPerUnitX);
}

float PageSurface::InnerHeight() const {
    return static_cast<float>(device.height() / pixelsPerUnitY);
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
    return {x * pixelsPerUnitX, y * pixelsPerUnitY};
}

}  // namespace linomark
