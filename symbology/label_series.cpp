#include "symbology/label_series.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

#include "symbology/decimal_reading.h"

namespace linomark {
namespace {

constexpr int kSeriesLength = 10;

// The largest 32-bit value, 2147483647, has ten digits.
constexpr std::size_t kInt32Digits = 10;

// A whole number padded on the left with zeros to at least `width` digits;
// a longer number is written in full.
std::u32string PadWithZeros(const std::string& digits, std::size_t width) {
    std::u32string text(width > digits.size() ? width - digits.size() : 0, U'0');
    text.append(digits.begin(), digits.end());
    return text;
}

}  // namespace

std::u32string MakeLabelSeries(const std::u32string& leadingValue) {
    if (leadingValue.empty()) return {};
    // The prefix runs up to the first digit; the tail is the rest, and the
    // tail's whole length, digits or not, is the width of every number.
    const auto firstDigit = std::find_if(leadingValue.begin(), leadingValue.end(), IsAsciiDigit);
    const std::u32string_view prefix(leadingValue.data(), firstDigit - leadingValue.begin());
    const std::u32string_view tail(leadingValue.data() + prefix.size(),
                                   leadingValue.size() - prefix.size());

    std::optional<std::string> number =
        RoundToWhole(ReadDecimal(tail), Rounding::HalfUp, kMaxSeriesDigits);
    if (!number) return {};

    std::u32string series;
    for (int line = 0; line < kSeriesLength; ++line) {
        if (line > 0) IncrementDecimal(*number);
        series += prefix;
        series += PadWithZeros(*number, tail.size());
        series += U"\r\n";
    }
    return series;
}

std::optional<std::int32_t> ReadRoundedHalfEven(const std::u32string& text) {
    const std::optional<std::string> whole =
        RoundToWhole(ReadDecimal(text), Rounding::HalfEven, kInt32Digits);
    if (!whole) return std::nullopt;
    std::int64_t value = 0;
    std::from_chars(whole->data(), whole->data() + whole->size(), value);
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace linomark
