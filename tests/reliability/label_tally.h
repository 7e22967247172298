// A recording surface that keeps each printed text only in outline, with the
// boxes filled since the last line or text: a label's bars come right before
// its text, and the grid (with the row strips of type 1) ends with a line. A
// sheet of 100,000-character labels fills half a million boxes a label and
// prints 400,000-character texts, far too much to keep whole.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "recording_surface.h"

namespace reliability {

struct TalliedText {
    std::size_t boxes = 0;
    // Where the first of those boxes starts: a label's origin.
    float firstBoxX = 0.0f;
    float firstBoxY = 0.0f;
    float lowestBoxBottom = 0.0f;
    std::size_t length = 0;
    std::u32string head;
    std::u32string tail;
};

class LabelTally : public linomark::RecordingSurface {
public:
    static constexpr std::size_t kOutline = 16;

    [[nodiscard]] const std::vector<TalliedText>& Texts() const { return texts; }

    void FillBox(float x1, float y1, float x2, float y2) override {
        if (pending.boxes++ == 0) {
            pending.firstBoxX = std::min(x1, x2);
            pending.firstBoxY = std::min(y1, y2);
        }
        pending.lowestBoxBottom = std::max({pending.lowestBoxBottom, y1, y2});
    }
    void DrawLine(float x1, float y1, float x2, float y2) override {
        RecordingSurface::DrawLine(x1, y1, x2, y2);
        pending = {};
    }
    void PrintText(const std::u32string& text) override {
        pending.length = text.size();
        pending.head = text.substr(0, kOutline);
        pending.tail = text.substr(text.size() - std::min(text.size(), kOutline));
        texts.push_back(pending);
        pending = {};
    }
    [[nodiscard]] float TextWidth(const std::u32string& text) override {
        return static_cast<float>(text.size());
    }

private:
    TalliedText pending;
    std::vector<TalliedText> texts;
};

}  // namespace reliability
