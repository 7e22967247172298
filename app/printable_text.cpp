#include "printable_text.h"

#include <algorithm>
#include <cstdio>

namespace linomark {
namespace {

// The length of the valid UTF-8 sequence at the start of text, or 0.
std::size_t Utf8Length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xc2 && lead < 0xe0 ? 2
                               : lead >= 0xe0 && lead < 0xf0 ? 3
                               : lead >= 0xf0 && lead < 0xf5 ? 4
                                                             : 0;
    if (length == 0 || length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

std::string Printable(std::string_view text) {
    std::string shown;
    while (!text.empty()) {
        const std::size_t length = Utf8Length(text);
        const auto lead = static_cast<unsigned char>(text[0]);
        const bool control =
            lead < 0x20 || lead == 0x7f ||
            (lead == 0xc2 && length == 2 && static_cast<unsigned char>(text[1]) < 0xa0);
        if (length == 0 || control) {
            const std::size_t bytes = std::max<std::size_t>(length, 1);
            for (std::size_t i = 0; i < bytes; ++i) {
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02x",
                              static_cast<unsigned char>(text[i]));
                shown += escaped;
            }
            text.remove_prefix(bytes);
            continue;
        }
        shown += text.substr(0, length);
        text.remove_prefix(length);
    }
    return shown;
}

}  // namespace linomark
