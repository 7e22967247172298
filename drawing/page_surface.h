// The printer page: a drawing surface over any QPaintDevice (a QPrinter, a
// QPdfWriter, a QImage), its origin at the top-left of the device's paint
// rectangle (the printable area of a printer).
//
// Coordinates are turned into device pixels here (x * dpi / 25.4) instead of
// through a painter scale, so a font size in points stays that size on paper.
// Until SetUnitToMillimetres the unit is the device pixel.
//
// The page opens (QPainter::begin) with the first drawing, text or measuring
// operation, never at construction: a print run that fails before drawing
// starts no job. Failures of the device surface as SurfaceError.
//
// Lines are one device pixel wide; dash-dot lines repeat every 4.5 mm
// (2 mm dash, 1 mm gap, 0.5 mm dot, 1 mm gap) whatever the resolution.
#pragma once

#include <QFont>
#include <QPainter>
#include <string>

#include "drawing/font_state_surface.h"

class QPaintDevice;

namespace linomark {

class PageSurface : public FontStateSurface {
public:
    // The device must outlive the surface. A surface destroyed with its page
    // still open abandons it.
    explicit PageSurface(QPaintDevice& device);
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
    [[nodiscard]] float InnerWidth() const override;
    [[nodiscard]] float InnerHeight() const override;
    // Ends the painter; throws SurfaceError when the device cannot finish the
    // page. A surface that never opened its page has nothing to end. Drawing
    // after the end throws: a surface makes one page only.
    void EndDocument() override;

    // Gives up an unfinished page without throwing: the painter is ended and
    // the error, if any, ignored. Qt's paint engines have no way to withdraw a
    // page (the PDF engines still close the file they were writing, a printer
    // in its native format would still send it), so whatever the device made
    // is the caller's to discard: draw into a PDF file and submit it only
    // after EndDocument succeeded.
    void Abandon() noexcept;

private:
    QPainter& OpenPage();
    [[nodiscard]] QPointF ToDevice(float x, float y) const;

    QPaintDevice& device;
    QPainter painter;
    PenStyle penStyle = PenStyle::Solid;
    double pixelsPerUnitX = 1.0;
    double pixelsPerUnitY = 1.0;
    bool pageEnded = false;
};

}  // namespace linomark
