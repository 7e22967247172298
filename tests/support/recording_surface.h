// A drawing surface that draws nothing and keeps every operation, with the
// font and pen state in force when it was issued, so that tests can read back
// exactly what a procedure asked for.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "drawing/surface.h"

namespace linomark {

enum class OpKind {
    SetUnitToMillimetres,
    Clear,
    SetPenStyle,
    SetFontFace,
    SetFontSize,
    SetBold,
    SetUnderline,
    SetCurrentX,
    SetCurrentY,
    PrintText,
    TextWidth,
    DrawLine,
    FillBox,
    SetColour,
    NewPage,
    EndDocument,
};

struct FontState {
    std::string face;
    float size = 0.0f;
    bool bold = false;
    bool underline = false;
};

// One operation. Coordinates: DrawLine and FillBox keep their two corners;
// PrintText keeps the position it drew at in (x1, y1); the setters keep their
// value in x1 (1 for on); SetColour keeps red, green and blue in x1, y1, x2. Text: PrintText and TextWidth keep their text,
// SetFontFace its face. font and pen are the state after the operation.
struct RecordedOp {
    OpKind kind;
    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;
    std::u32string text;
    FontState font;
    PenStyle pen = PenStyle::Solid;
};

// Text is measured with a fixed model so that results do not depend on the
// fonts installed: every character is half an em wide and a text line is
// 1.2 em high, an em being the font size in points at 25.4 / 72 units per
// point (the unit taken as a millimetre). Arial 12 thus has 2.1167-unit
// characters and 5.08-unit lines.
class RecordingSurface : public DrawingSurface {
public:
    static constexpr float kUnitsPerPoint = 25.4f / 72.0f;
    static constexpr float kCharacterEms = 0.5f;
    static constexpr float kLineEms = 1.2f;
    static constexpr float kNoEdge = std::numeric_limits<float>::infinity();

    // The inner size is what InnerWidth and InnerHeight report; by default
    // the surface has no edge, so nothing is cut off at one.
    explicit RecordingSurface(float innerWidth = kNoEdge, float innerHeight = kNoEdge);

    [[nodiscard]] const std::vector<RecordedOp>& Ops() const { return ops; }

    void SetUnitToMillimetres() override;
    void Clear() override;
    void SetPenStyle(PenStyle style) override;
    void SetFontFace(const std::string& face) override;
    void SetFontSize(float points) override;
    void SetBold(bool on) override;
    void SetUnderline(bool on) override;
    void SetCurrentX(float x) override;
    void SetCurrentY(float y) override;
    void PrintText(const std::u32string& text) override;
    [[nodiscard]] float TextWidth(const std::u32string& text) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void SetColour(Rgb colour) override;
    void NewPage() override;
    [[nodiscard]] float InnerWidth() const override { return innerWidth; }
    [[nodiscard]] float InnerHeight() const override { return innerHeight; }
    void EndDocument() override;

private:
    void Record(OpKind kind, float x1 = 0.0f, float y1 = 0.0f, float x2 = 0.0f, float y2 = 0.0f,
                std::u32string text = {});

    float innerWidth;
    float innerHeight;
    FontState font;
    PenStyle pen = PenStyle::Solid;
    float currentX = 0.0f;
    float currentY = 0.0f;
    std::vector<RecordedOp> ops;
};

}  // namespace linomark
