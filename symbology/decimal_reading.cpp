#include "symbology/decimal_reading.h"

#include <algorithm>

namespace linomark {
namespace {

// Exponent digits beyond this change nothing: any exponent this large already
// puts the whole number far past every digit limit, or rounds it to zero. The
// cap keeps the arithmetic on exponents free of overflow.
constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;

constexpr bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n'; }

constexpr bool IsExponentMarker(char32_t c) {
    return c == U'E' || c == U'e' || c == U'D' || c == U'd';
}

// Walks a text character by character, stepping over blanks wherever they are.
class Scanner {
public:
    explicit Scanner(std::u32string_view text) : text(text) {}

    // The next character that is not a blank, or U'\0' at the end.
    char32_t Peek() {
        while (position < text.size() && IsBlank(text[position])) ++position;
        return position < text.size() ? text[position] : U'\0';
    }
    void Take() { ++position; }

private:
    std::u32string_view text;
    std::size_t position = 0;
};

// Takes a run of digits into `digits`, dropping zeros that would lead it, and
// returns how many digits were taken.
std::int64_t TakeDigits(Scanner& scanner, std::string& digits) {
    std::int64_t taken = 0;
    for (char32_t c = scanner.Peek(); IsAsciiDigit(c); c = scanner.Peek()) {
        if (!digits.empty() || c != U'0') digits += static_cast<char>(c);
        scanner.Take();
        ++taken;
    }
    return taken;
}

std::int64_t TakeExponent(Scanner& scanner) {
    if (!IsExponentMarker(scanner.Peek())) return 0;
    scanner.Take();
    const char32_t sign = scanner.Peek();
    if (sign == U'+' || sign == U'-') scanner.Take();
    std::int64_t magnitude = 0;
    for (char32_t c = scanner.Peek(); IsAsciiDigit(c); c = scanner.Peek()) {
        magnitude = std::min(magnitude * 10 + (c - U'0'), kExponentCap);
        scanner.Take();
    }
    return sign == U'-' ? -magnitude : magnitude;
}

// Whether dropping the digits from index `wholeLength` on (with -wholeLength
// zeros in front of them when it is negative) rounds the whole part up.
bool RoundsUp(const std::string& digits, std::int64_t wholeLength, const std::string& whole,
              Rounding rounding) {
    // A zero right after the decimal point means the fraction is below one half.
    if (wholeLength < 0) return false;
    const auto first = digits.begin() + wholeLength;
    if (*first != '5') return *first > '5';
    if (rounding == Rounding::HalfUp) return true;
    const bool aboveHalf = std::any_of(first + 1, digits.end(), [](char d) { return d != '0'; });
    const bool wholeIsOdd = !whole.empty() && (whole.back() - '0') % 2 == 1;
    return aboveHalf || wholeIsOdd;
}

}  // namespace

DecimalReading ReadDecimal(std::u32string_view text) {
    Scanner scanner(text);
    DecimalReading reading;
    TakeDigits(scanner, reading.digits);
    std::int64_t fractionLength = 0;
    if (scanner.Peek() == U'.') {
        scanner.Take();
        fractionLength = TakeDigits(scanner, reading.digits);
    }
    reading.exponent = TakeExponent(scanner) - fractionLength;
    return reading;
}

std::optional<std::string> RoundToWhole(const DecimalReading& reading, Rounding rounding,
                                        std::size_t maxDigits) {
    if (reading.digits.empty()) return "0";
    const auto limit = static_cast<std::int64_t>(maxDigits);
    // How many of the digits stand before the decimal point: the length of the
    // whole number before rounding, which can only add one more digit.
    const std::int64_t wholeLength =
        static_cast<std::int64_t>(reading.digits.size()) + reading.exponent;
    if (wholeLength > limit) return std::nullopt;
    if (reading.exponent >= 0) {
        return reading.digits + std::string(static_cast<std::size_t>(reading.exponent), '0');
    }
    std::string whole =
        reading.digits.substr(0, static_cast<std::size_t>(std::max<std::int64_t>(wholeLength, 0)));
    if (RoundsUp(reading.digits, wholeLength, whole, rounding)) IncrementDecimal(whole);
    if (whole.empty()) return "0";
    if (static_cast<std::int64_t>(whole.size()) > limit) return std::nullopt;
    return whole;
}

void IncrementDecimal(std::string& digits) {
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return;
        }
        *digit = '0';
    }
    digits.insert(digits.begin(), '1');
}

}  // namespace linomark
