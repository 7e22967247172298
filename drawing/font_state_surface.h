// What the Qt surfaces (page and preview) keep alike: the font the next text
// is drawn in and the current position, both only set by the callers.
#pragma once

#include <QFont>
#include <QString>
#include <string>

#include "drawing/surface.h"

namespace linomark {

class FontStateSurface : public DrawingSurface {
public:
    void SetFontFace(const std::string& face) override {
        font.setFamily(QString::fromStdString(face));
    }
    void SetFontSize(float points) override { font.setPointSizeF(points); }
    void SetBold(bool on) override { font.setBold(on); }
    void SetUnderline(bool on) override { font.setUnderline(on); }
    void SetCurrentX(float x) override { currentX = x; }
    void SetCurrentY(float y) override { currentY = y; }

protected:
    explicit FontStateSurface(const QFont& startFont = QFont()) : font(startFont) {}

    QFont font;
    float currentX = 0.0f;
    float currentY = 0.0f;
};

}  // namespace linomark
