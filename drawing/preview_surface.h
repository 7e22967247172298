// The preview box: a drawing surface over a 217 x 77 pixel picture, drawn in
// the box's own scale of 53 units across by 20.373 units down (the units of
// the two axes differ). Fonts are in points at 96 dots per inch, 12 points
// being 16 pixels, without kerning. Drawing outside the box is lost at its
// edges, and text far wider than the box is laid out only where it shows.
//
// The picture is made at the screen's device pixel ratio (217 x 77 logical
// pixels, 434 x 154 real ones at a ratio of 2) so that it paints crisply.
// The window shows Picture() in its paint event; the surface keeps it, and
// its font, from one preview to the next.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <string>

#include "drawing/font_state_surface.h"

class QPainter;

namespace linomark {

class PreviewSurface : public FontStateSurface {
public:
    static constexpr int kPixelWidth = 217;
    static constexpr int kPixelHeight = 77;
    static constexpr float kUnitWidth = 53.0f;
    static constexpr float kUnitHeight = 20.373f;

    // startFont is the box's font before any preview sets one (the window's
    // default font); the box starts regular, not bold.
    explicit PreviewSurface(const QFont& startFont, qreal devicePixelRatio = 1.0);

    [[nodiscard]] const QImage& Picture() const { return picture; }
    // Makes a new, white picture at the given ratio; the font is kept.
    void SetDevicePixelRatio(qreal ratio);
    // Puts back a picture taken from Picture() earlier.
    void Restore(const QImage& earlier) { picture = earlier; }

    // The box keeps its fixed scale: there is no unit to set.
    void SetUnitToMillimetres() override {}
    void Clear() override;
    void SetPenStyle(PenStyle style) override;
    void PrintText(const std::u32string& text) override;
    [[nodiscard]] float TextWidth(const std::u32string& text) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void SetColour(Rgb colour) override;
    void NewPage() override;
    [[nodiscard]] float InnerWidth() const override { return kUnitWidth; }
    [[nodiscard]] float InnerHeight() const override { return kUnitHeight; }
    // There is no document in the box.
    void EndDocument() override {}

private:
    [[nodiscard]] QPointF ToPixels(float x, float y) const;
    void BeginPainting(QPainter& painter);

    QImage picture;
    Qt::PenStyle penStyle = Qt::SolidLine;
    QColor ink = Qt::black;
};

}  // namespace linomark
