// Finding the line of a column list that holds the caret.
#pragma once

#include <cstddef>
#include <string>

namespace linomark {

// The line of text that holds the caret, where selectionStart counts the
// characters before the caret. The search looks back from the caret for a line
// feed and forward for a carriage return, so a line break of one character of
// the other kind is not recognised. A caret after the final line break yields
// an empty line; a selection start past the end counts as the end.
std::u32string CaretLine(const std::u32string& text, std::size_t selectionStart);

}  // namespace linomark
