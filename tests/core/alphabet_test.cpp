// The alphabet table against the Code 39 character set of ISO/IEC 16388.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "symbology/code39.h"

namespace linomark {
namespace {

// The standard's table in its own order (by check value), each character's
// nine elements bar, space, bar, ... written as n (narrow) or w (wide).
struct StandardCharacter {
    char32_t character;
    int checkValue;  // -1: the standard gives the start/stop character no value
    const char* widths;
};

constexpr StandardCharacter kStandard[] = {
    {U'0', 0, "nnnwwnwnn"},  {U'1', 1, "wnnwnnnnw"},  {U'2', 2, "nnwwnnnnw"},
    {U'3', 3, "wnwwnnnnn"},  {U'4', 4, "nnnwwnnnw"},  {U'5', 5, "wnnwwnnnn"},
    {U'6', 6, "nnwwwnnnn"},  {U'7', 7, "nnnwnnwnw"},  {U'8', 8, "wnnwnnwnn"},
    {U'9', 9, "nnwwnnwnn"},  {U'A', 10, "wnnnnwnnw"}, {U'B', 11, "nnwnnwnnw"},
    {U'C', 12, "wnwnnwnnn"}, {U'D', 13, "nnnnwwnnw"}, {U'E', 14, "wnnnwwnnn"},
    {U'F', 15, "nnwnwwnnn"}, {U'G', 16, "nnnnnwwnw"}, {U'H', 17, "wnnnnwwnn"},
    {U'I', 18, "nnwnnwwnn"}, {U'J', 19, "nnnnwwwnn"}, {U'K', 20, "wnnnnnnww"},
    {U'L', 21, "nnwnnnnww"}, {U'M', 22, "wnwnnnnwn"}, {U'N', 23, "nnnnwnnww"},
    {U'O', 24, "wnnnwnnwn"}, {U'P', 25, "nnwnwnnwn"}, {U'Q', 26, "nnnnnnwww"},
    {U'R', 27, "wnnnnnwwn"}, {U'S', 28, "nnwnnnwwn"}, {U'T', 29, "nnnnwnwwn"},
    {U'U', 30, "wwnnnnnnw"}, {U'V', 31, "nwwnnnnnw"}, {U'W', 32, "wwwnnnnnn"},
    {U'X', 33, "nwnnwnnnw"}, {U'Y', 34, "wwnnwnnnn"}, {U'Z', 35, "nwwnwnnnn"},
    {U'-', 36, "nwnnnnwnw"}, {U'.', 37, "wwnnnnwnn"}, {U' ', 38, "nwwnnnwnn"},
    {U'$', 39, "nwnwnwnnn"}, {U'/', 40, "nwnwnnnwn"}, {U'+', 41, "nwnnnwnwn"},
    {U'%', 42, "nnnwnwnwn"}, {U'*', -1, "nwnnwnwnn"},
};

// Bars are W/N and spaces L/S in the program's element letters.
std::string ToElementLetters(const std::string& widths) {
    std::string letters;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const bool wide = widths[i] == 'w';
        letters += i % 2 == 0 ? (wide ? 'W' : 'N') : (wide ? 'L' : 'S');
    }
    return letters;
}

TEST(Alphabet, EveryCharacterMatchesTheStandard) {
    const Alphabet& alphabet = InitAlphabet();
    std::set<int> positionsSeen;
    for (const StandardCharacter& expected : kStandard) {
        SCOPED_TRACE(std::string(1, static_cast<char>(expected.character)));
        const int position = alphabet.PositionOf(expected.character);
        ASSERT_GE(position, 0);
        positionsSeen.insert(position);
        EXPECT_EQ(alphabet.CharacterAt(position), expected.character);
        EXPECT_EQ(alphabet.ElementPatternAt(position), ToElementLetters(expected.widths));
        // The star has no value of its own in the standard; the program gives it 0.
        EXPECT_EQ(alphabet.CheckValueAt(position), std::max(expected.checkValue, 0));
    }
    EXPECT_EQ(positionsSeen.size(), static_cast<std::size_t>(Alphabet::kSize));
}

TEST(Alphabet, PositionsFollowTheProgramsOrder) {
    struct Case {
        const char* name;
        char32_t character;
        int position;
    };
    const Case cases[] = {
        {"digit one comes first", U'1', 0},
        {"digit zero comes after nine", U'0', 9},
        {"A follows the digits", U'A', 10},
        {"space", U' ', 38},
        {"star between space and dollar", U'*', 39},
        {"percent comes last", U'%', 43},
        {"lowercase is not upper case", U'a', -1},
        {"hash", U'#', -1},
        {"carriage return", U'\r', -1},
        {"NUL", U'\0', -1},
        {"L with stroke, low byte 0x41 like A", U'\u0141', -1},
        {"fullwidth digit zero", U'\uFF10', -1},
        {"emoji", U'\U0001F600', -1},
        {"largest code point", U'\U0010FFFF', -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InitAlphabet().PositionOf(c.character), c.position) << c.name;
    }
}

TEST(Alphabet, FirstPositionWithCheckValue) {
    struct Case {
        const char* name;
        int checkValue;
        int position;
    };
    const Case cases[] = {
        {"zero finds the digit 0, never the star", 0, 9},
        {"one", 1, 0},
        {"ten finds A", 10, 10},
        {"thirty-eight finds space", 38, 38},
        {"thirty-nine finds dollar, after the star", 39, 40},
        {"forty-two finds percent", 42, 43},
        {"forty-three is no check value", 43, -1},
        {"negative", -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InitAlphabet().FirstPositionWithCheckValue(c.checkValue), c.position) << c.name;
    }
}

TEST(Alphabet, PositionsOutsideTheTableGiveNeutralAnswers) {
    const Alphabet& alphabet = InitAlphabet();
    for (const int position : {-1, Alphabet::kSize, 1000}) {
        EXPECT_EQ(alphabet.CharacterAt(position), U'\0') << position;
        EXPECT_EQ(alphabet.CheckValueAt(position), -1) << position;
        EXPECT_TRUE(alphabet.ElementPatternAt(position).empty()) << position;
    }
}

}  // namespace
}  // namespace linomark
