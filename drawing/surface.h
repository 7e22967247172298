// The drawing surface: the only way the program draws, on the printer page and
// in the preview box. Coordinates are in the surface's unit, origin top-left,
// x to the right and y downward. Lines, boxes and text are drawn in the ink
// colour, black until SetColour changes it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace linomark {

enum class PenStyle { Solid, DashDot };

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// Raised by a surface whose device fails (the printer cannot be opened, a page
// cannot be written); the operation that raised it had no effect.
class SurfaceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void SetUnitToMillimetres() = 0;
    virtual void Clear() = 0;
    virtual void SetPenStyle(PenStyle style) = 0;
    virtual void SetFontFace(const std::string& face) = 0;
    // Points on the device, whatever the unit.
    virtual void SetFontSize(float points) = 0;
    virtual void SetBold(bool on) = 0;
    virtual void SetUnderline(bool on) = 0;
    virtual void SetCurrentX(float x) = 0;
    virtual void SetCurrentY(float y) = 0;
    // Draws the text with its top-left corner at the current position, then
    // moves the position to the start of the next text line.
    virtual void PrintText(const std::u32string& text) = 0;
    // Width of the text in the current font, in the horizontal unit.
    [[nodiscard]] virtual float TextWidth(const std::u32string& text) = 0;
    virtual void DrawLine(float x1, float y1, float x2, float y2) = 0;
    virtual void FillBox(float x1, float y1, float x2, float y2) = 0;
    // The ink of every line, box and text drawn after it.
    virtual void SetColour(Rgb ink) = 0;
    // Ends the page and starts a new, white one on a paged device (a PDF);
    // the font, pen and ink stay. A surface with one picture only clears it.
    virtual void NewPage() = 0;
    [[nodiscard]] virtual float InnerWidth() const = 0;
    [[nodiscard]] virtual float InnerHeight() const = 0;
    virtual void EndDocument() = 0;
};

}  // namespace linomark
