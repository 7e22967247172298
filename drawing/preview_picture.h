// The preview box's picture: 217 x 77 pixels drawn through the painter
// surface in the box's own scale of 53 units across by 20.373 units down
// (the units of the two axes differ). Fonts are in points at 96 dots per
// inch, 12 points being 16 pixels, without kerning. Drawing outside the box
// is lost at its edges, and text far wider than the box is laid out only
// where it shows.
//
// The picture is made at the screen's device pixel ratio (217 x 77 logical
// pixels, 434 x 154 real ones at a ratio of 2) so that it paints crisply.
// Each preview is drawn with one painter, ended before the window shows the
// picture; the font is kept from one preview to the next.
#pragma once

#include <QFont>
#include <QImage>
#include <functional>

#include "drawing/surface.h"

namespace linomark {

class PreviewPicture {
public:
    static constexpr int kPixelWidth = 217;
    static constexpr int kPixelHeight = 77;
    static constexpr float kUnitWidth = 53.0f;
    static constexpr float kUnitHeight = 20.373f;

    // startFont is the box's font before any preview sets one (the window's
    // default font); the box starts regular, not bold.
    explicit PreviewPicture(const QFont& startFont, qreal devicePixelRatio = 1.0);

    [[nodiscard]] const QImage& Picture() const { return picture; }
    // Makes a new, white picture at the given ratio; the font is kept.
    void SetDevicePixelRatio(qreal ratio);
    // Puts back a picture taken from Picture() earlier.
    void Restore(const QImage& earlier) { picture = earlier; }

    // Draws one preview on the picture. A SurfaceError from the drawing
    // leaves the painter ended and passes on.
    void Draw(const std::function<void(DrawingSurface& box)>& preview);

private:
    QImage picture;
    QFont font;
};

}  // namespace linomark
