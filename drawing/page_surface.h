// The printer page: a drawing surface over any QPaintDevice (a QPdfWriter, a
// QImage), its origin at a given point of the device's paint rectangle: the
// top-left corner of the printer's printable area, moved by the user's
// alignment offset.
//
// Coordinates are turned into device pixels here (x * dpi / 25.4) instead of
// through a painter scale, so a font size in points stays that size on paper.
// Until SetUnitToMillimetres the unit is the device pixel.
//
// Only what lands on the device is drawn: boxes and lines wholly beyond its
// edges are skipped, and of a very long text only the characters that reach
// the page are laid out, so the work of a page is bounded by the page.
//
// The page opens (QPainter::begin) with the first drawing, text or measuring
// operation, never at construction: a print run that fails before drawing
// starts no job. Failures of the device surface as SurfaceError.
//
// Lines are one device pixel wide; dash-dot lines repeat every 4.5 mm
// (2 mm dash, 1 mm gap, 0.5 mm dot, 1 mm gap) whatever the resolution.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <string>

#include "drawing/font_state_surface.h"

class QPaintDevice;

namespace linomark {

class PageSurface : public FontStateSurface {
public:
    // The device must outlive the surface. The origin is given in
    // millimetres from the top-left corner of the device. A surface destroyed
    // with its page still open abandons it.
    explicit PageSurface(QPaintDevice& device, QPointF originMillimetres = {});
    ~PageSurface() override;

    PageSurface(const PageSurface&) = delete;
    PageSurface& operator=(const PageSurface&) = delete;

    void SetUnitToMillimetres() override;
    void Clear() override;
    void SetPenStyle(PenStyle style) override;
    void PrintText(const std::u32string& text) override;
    [[nodiscard]] float TextWidth(const std::u32string& text) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void SetColour(Rgb colour) override;
    void NewPage() override;
    // From the origin to the device's right and bottom edges.
    [[nodiscard]] float InnerWidth() const override;
    [[nodiscard]] float InnerHeight() const override;
    // Ends the painter; throws SurfaceError when the device cannot finish the
    // page. A surface that never opened its page has nothing to end. Drawing
    // after the end throws: a surface makes one page only.
    void EndDocument() override;

    // Gives up an unfinished page without throwing: the painter is ended and
    // the error, if any, ignored. Whatever the device made of it is the
    // caller's to discard.
    void Abandon() noexcept;

private:
    QPainter& OpenPage();
    [[nodiscard]] QPointF ToDevice(float x, float y) const;
    [[nodiscard]] bool OnDevice(const QRectF& deviceRect) const;

    QPaintDevice& device;
    QPainter painter;
    QPointF originPixels;
    PenStyle penStyle = PenStyle::Solid;
    QColor ink = Qt::black;
    double pixelsPerUnitX = 1.0;
    double pixelsPerUnitY = 1.0;
    bool pageEnded = false;
};

}  // namespace linomark
