// The exact numeric reading of a text, shared by the label series and the
// stored label type: blanks (space, tab, line feed) are skipped wherever they
// occur; then digits, one optional decimal point and digits, and an optional
// exponent E or D (either case) with an optional sign and digits. The reading
// stops at the first character that fits none of these; nothing read is 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace linomark {

// value = digits x 10^exponent, kept as text so no digit is ever lost.
struct DecimalReading {
    std::string digits;  // significant digits without leading zeros; empty for zero
    std::int64_t exponent = 0;
};

// Only the ASCII digits count: other scripts' digits are ordinary characters.
constexpr bool IsAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

DecimalReading ReadDecimal(std::u32string_view text);

enum class Rounding { HalfUp, HalfEven };

// The reading rounded to a whole number, written in decimal digits without
// leading zeros ("0" for zero); nothing when it needs more than maxDigits
// digits. The work is bounded by maxDigits and the length of the reading,
// whatever its exponent.
std::optional<std::string> RoundToWhole(const DecimalReading& reading, Rounding rounding,
                                        std::size_t maxDigits);

// Adds one to a whole number written in decimal digits ("999" becomes "1000").
void IncrementDecimal(std::string& digits);

}  // namespace linomark
