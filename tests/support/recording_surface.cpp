#include "recording_surface.h"

#include <utility>

namespace linomark {

namespace {

float Flag(bool on) { return on ? 1.0f : 0.0f; }

}  // namespace

RecordingSurface::RecordingSurface(float innerWidth, float innerHeight)
    : innerWidth(innerWidth), innerHeight(innerHeight) {}

void RecordingSurface::SetUnitToMillimetres() { Record(OpKind::SetUnitToMillimetres); }

void RecordingSurface::Clear() { Record(OpKind::Clear); }

void RecordingSurface::SetPenStyle(PenStyle style) {
    pen = style;
    Record(OpKind::SetPenStyle, Flag(style == PenStyle::DashDot));
}

void RecordingSurface::SetFontFace(const std::string& face) {
    font.face = face;
    Record(OpKind::SetFontFace, 0.0f, 0.0f, 0.0f, 0.0f, std::u32string(face.begin(), face.end()));
}

void RecordingSurface::SetFontSize(float points) {
    font.size = points;
    Record(OpKind::SetFontSize, points);
}

void RecordingSurface::SetBold(bool on) {
    font.bold = on;
    Record(OpKind::SetBold, Flag(on));
}

void RecordingSurface::SetUnderline(bool on) {
    font.underline = on;
    Record(OpKind::SetUnderline, Flag(on));
}

void RecordingSurface::SetCurrentX(float x) {
    currentX = x;
    Record(OpKind::SetCurrentX, x);
}

void RecordingSurface::SetCurrentY(float y) {
    currentY = y;
    Record(OpKind::SetCurrentY, y);
}

void RecordingSurface::PrintText(const std::u32string& text) {
    Record(OpKind::PrintText, currentX, currentY, 0.0f, 0.0f, text);
    currentX = 0.0f;
    currentY += font.size * kUnitsPerPoint * kLineEms;
}

float RecordingSurface::TextWidth(const std::u32string& text) {
    Record(OpKind::TextWidth, 0.0f, 0.0f, 0.0f, 0.0f, text);
    return static_cast<float>(text.size()) * font.size * kUnitsPerPoint * kCharacterEms;
}

void RecordingSurface::DrawLine(float x1, float y1, float x2, float y2) {
    Record(OpKind::DrawLine, x1, y1, x2, y2);
}

void RecordingSurface::FillBox(float x1, float y1, float x2, float y2) {
    Record(OpKind::FillBox, x1, y1, x2, y2);
}

void RecordingSurface::SetColour(Rgb colour) {
    Record(OpKind::SetColour, colour.r, colour.g, colour.b);
}

void RecordingSurface::NewPage() { Record(OpKind::NewPage); }

void RecordingSurface::EndDocument() { Record(OpKind::EndDocument); }

void RecordingSurface::Record(OpKind kind, float x1, float y1, float x2, float y2,
                              std::u32string text) {
    ops.push_back({kind, x1, y1, x2, y2, std::move(text), font, pen});
}

}  // namespace linomark
