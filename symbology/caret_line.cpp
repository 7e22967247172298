#include "symbology/caret_line.h"

#include <algorithm>

namespace linomark {

namespace {

// Positions are counted from 1: the character at position p is the one just
// before a caret whose selection start is p, and a selection start of 0 is
// looked at as position 1.
std::size_t FirstPosition(std::size_t selectionStart) {
    return std::max<std::size_t>(selectionStart, 1);
}

char32_t CharacterAt(const std::u32string& text, std::size_t position) {
    return text[position - 1];
}

// Walks back from the caret; the character at position 1 is never examined,
// so a text opening with a line feed still has its first line start at 1.
std::size_t LineStart(const std::u32string& text, std::size_t selectionStart) {
    // Positions past the end hold no line feed, so the walk may start at the end.
    for (std::size_t b = std::min(FirstPosition(selectionStart), text.size()); b > 1; --b) {
        if (CharacterAt(text, b) == U'\n') return b + 1;
    }
    return 1;
}

// Walks forward from the caret; the last character of the text is never
// examined, so the line then ends there.
std::size_t LineEnd(const std::u32string& text, std::size_t selectionStart) {
    std::size_t e = FirstPosition(selectionStart);
    for (; e < text.size(); ++e) {
        if (CharacterAt(text, e) == U'\r') return e - 1;
    }
    return e;
}

}  // namespace

std::u32string CaretLine(const std::u32string& text, std::size_t selectionStart) {
    const std::size_t start = LineStart(text, selectionStart);
    // The end may stand past the text (a caret past the end, or an empty text):
    // only the characters that exist are taken.
    const std::size_t end = std::min(LineEnd(text, selectionStart), text.size());
    if (end < start) return {};
    return text.substr(start - 1, end - start + 1);
}

}  // namespace linomark
