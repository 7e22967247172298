// The label series of a column: ten consecutive label values generated from
// the column's leading value, and the numeric reading of a text it rests on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace linomark {

// A whole number written in decimal digits is never allowed to grow past this
// many digits: a reading such as 1E99999 yields no series at all.
inline constexpr std::size_t kMaxSeriesDigits = 1000;

// The ten lines "prefix + number + \r\n" for a leading value; empty for an
// empty value and for a value whose number would need more than
// kMaxSeriesDigits digits.
std::u32string MakeLabelSeries(const std::u32string& leadingValue);

// The numeric reading of a text (blanks skipped anywhere; digits; one optional
// decimal point and digits; an optional exponent E or D, either case, with an
// optional sign and digits), rounded to a whole number with halves to the even
// neighbour. Nothing read gives 0. Returns nothing when the whole number does
// not fit in 32 bits.
std::optional<std::int32_t> ReadRoundedHalfEven(const std::u32string& text);

}  // namespace linomark
