// Feeds any text and any selection start (past the end included) to the
// caret-line search and aborts when its result breaks an invariant. The first
// four bytes are the selection start; every further byte is one character, so
// carriage returns and line feeds turn up often.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "symbology/caret_line.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Every carriage return is followed by a line feed and every line feed follows
// a carriage return: the shape of any list the window holds.
bool HasOnlyPairedBreaks(const std::u32string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\r' && (i + 1 == text.size() || text[i + 1] != U'\n')) return false;
        if (text[i] == U'\n' && (i == 0 || text[i - 1] != U'\r')) return false;
    }
    return true;
}

// The line of a text with paired breaks that holds the caret, found the plain
// way: the caret belongs to the line of the character just before it, or to
// the next line when that character is the line feed that closes a line.
std::u32string ExpectedLine(const std::u32string& text, std::size_t selectionStart) {
    std::vector<std::u32string> lines(1);
    std::vector<std::size_t> lineOfIndex;
    for (std::size_t i = 0; i < text.size(); ++i) {
        lineOfIndex.push_back(lines.size() - 1);
        if (text[i] == U'\n') {
            lines.emplace_back();
        } else if (text[i] != U'\r') {
            lines.back() += text[i];
        }
    }
    const std::size_t caret = std::min(selectionStart, text.size());
    if (caret == 0) return lines.front();
    const std::size_t before = caret - 1;
    return text[before] == U'\n' ? lines[lineOfIndex[before] + 1] : lines[lineOfIndex[before]];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    std::uint32_t selectionStart = 0;
    std::memcpy(&selectionStart, data, sizeof selectionStart);
    const std::u32string text(data + 4, data + size);

    const std::u32string line = linomark::CaretLine(text, selectionStart);
    Require(line.size() <= text.size());
    Require(text.find(line) != std::u32string::npos);
    if (text.find_first_of(U"\r\n") == std::u32string::npos) Require(line == text);
    if (HasOnlyPairedBreaks(text)) Require(line == ExpectedLine(text, selectionStart));
    return 0;
}
