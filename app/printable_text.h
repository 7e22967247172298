// Input quoted in a message reaches the terminal as text: control bytes (an
// escape sequence could retitle or clear it), C1 controls, NUL and bytes of
// no valid UTF-8 are shown escaped, as \x1b.
#pragma once

#include <string>
#include <string_view>

namespace linomark {

std::string Printable(std::string_view text);

}  // namespace linomark
