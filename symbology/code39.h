// Code 39 alphabet and symbol assembly.
//
// Texts are sequences of Unicode characters (std::u32string): a character
// outside the 44-character alphabet, ASCII or not, passes through the symbol
// text untouched but adds nothing to the check sum and draws nothing.
#pragma once

#include <string>
#include <string_view>

namespace linomark {

// The alphabet table: the 44 characters in their fixed order, each with its
// modulo-43 check value and its nine-letter element pattern ("W" wide bar,
// "N" narrow bar, "L" wide gap, "S" narrow gap).
class Alphabet {
public:
    static constexpr int kSize = 44;
    static constexpr int kPatternLength = 9;

    // Position of c in the alphabet string, or -1 when c is not in it.
    [[nodiscard]] int PositionOf(char32_t c) const;
    // Positions outside 0..43 give U'\0', -1 and an empty pattern.
    [[nodiscard]] char32_t CharacterAt(int position) const;
    [[nodiscard]] int CheckValueAt(int position) const;
    [[nodiscard]] std::string_view ElementPatternAt(int position) const;
    // First position, scanning from 0 upward, whose check value is v; -1 if none.
    [[nodiscard]] int FirstPositionWithCheckValue(int v) const;
};

// The table. Its element patterns are built from the bar and gap patterns at
// compile time, so it is complete before anything can read it.
const Alphabet& InitAlphabet();

// "*" + value + check character + "*"; empty for an empty value (label type 0).
std::u32string CompleteBarCode(const std::u32string& value);
// "*" + value + "*"; empty for an empty value (label type 1).
std::u32string CompleteBarCodeCompaq(const std::u32string& value);
// Element pattern + "S" for every alphabet character of the symbol text.
std::string BuildElementSequence(const std::u32string& symbolText);

}  // namespace linomark
