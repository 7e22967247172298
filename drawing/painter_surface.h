// The one drawing surface of the program: a QPainter over any QPaintDevice (a
// QPdfWriter page, a QImage picture), with a coordinate transform from the
// surface's units to the device's pixels. The printed page and the preview
// box differ only in their transform and their starting font (page_surface.h,
// preview_picture.h).
//
// Coordinates are turned into device pixels here (origin + x * pixels per
// unit) instead of through a painter scale, so a font size in points stays
// that size on the device. Pixels are the device's own, counted before any
// device pixel ratio: a picture made at a ratio of 2 is drawn by the painter
// in twice as many pixels.
//
// Only what lands on the device is drawn: boxes and lines wholly beyond its
// edges are skipped, and of a very long text only the characters that reach
// the device are laid out, so the work of a page is bounded by the page.
//
// The painter opens (QPainter::begin) with the first drawing or text, never
// at construction or for measuring: a print run that fails before drawing
// starts no job. Failures of the device surface as SurfaceError.
//
// Lines are one device pixel wide; dash-dot lines repeat every 4.5 mm
// (2 mm dash, 1 mm gap, 0.5 mm dot, 1 mm gap) whatever the resolution.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <string>

#include "drawing/surface.h"

class QPaintDevice;

namespace linomark {

// From the surface's units to the device's pixels, and the pixels it draws
// on: the page all of its device, the preview box its 217 x 77 pixels
// however its picture was rounded at a fractional pixel ratio.
struct SurfaceTransform {
    QPointF origin;                        // of the units, from the device's corner
    QSizeF pixelsPerUnit{1.0, 1.0};        // until SetUnitToMillimetres
    QSizeF pixelsPerMillimetre{1.0, 1.0};  // what SetUnitToMillimetres makes a unit
    QSizeF area;                           // from the device's corner
};

class PainterSurface : public DrawingSurface {
public:
    // The device must outlive the surface. A surface destroyed with its
    // painter still open abandons what it drew.
    PainterSurface(QPaintDevice& device, const SurfaceTransform& transform, const QFont& startFont);
    ~PainterSurface() override;

    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    void SetUnitToMillimetres() override;
    void Clear() override;
    void SetFontFace(const std::string& face) override {
        font.setFamily(QString::fromStdString(face));
    }
    void SetFontSize(float points) override { font.setPointSizeF(points); }
    void SetBold(bool on) override { font.setBold(on); }
    void SetUnderline(bool on) override { font.setUnderline(on); }
    void SetCurrentX(float x) override { currentX = x; }
    void SetCurrentY(float y) override { currentY = y; }
    void SetPenStyle(PenStyle style) override;
    void PrintText(const std::u32string& text) override;
    [[nodiscard]] float TextWidth(const std::u32string& text) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void SetColour(Rgb colour) override;
    // A new page on a paged device (a PDF); a picture is cleared.
    void NewPage() override;
    // From the origin to the right and bottom edges of the area.
    [[nodiscard]] float InnerWidth() const override;
    [[nodiscard]] float InnerHeight() const override;
    // Ends the painter; throws SurfaceError when the device cannot finish
    // what was drawn. A surface that never opened its painter has nothing to
    // end. Drawing after the end throws: a surface paints its device once.
    void EndDocument() override;

    // Gives up an unfinished drawing without throwing: the painter is ended
    // and the error, if any, ignored. Whatever the device made of it is the
    // caller's to discard.
    void Abandon() noexcept;

    // The font the next text is drawn in.
    [[nodiscard]] const QFont& Font() const { return font; }

private:
    QPainter& Open();
    [[nodiscard]] QPointF ToDevice(float x, float y) const;
    [[nodiscard]] bool OnDevice(const QRectF& deviceRect) const;

    QPaintDevice& device;
    QPainter painter;
    SurfaceTransform transform;
    QFont font;
    float currentX = 0.0f;
    float currentY = 0.0f;
    PenStyle penStyle = PenStyle::Solid;
    QColor ink = Qt::black;
    bool ended = false;
};

}  // namespace linomark
