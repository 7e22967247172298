// The ten-line label series of a leading value, and the numeric reading of the
// stored label type.
#include "symbology/label_series.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace linomark {
namespace {

std::u32string Repeat(char32_t c, std::size_t count) { return std::u32string(count, c); }

// The lines of a series, each without its "\r\n"; fails when a line lacks it.
std::vector<std::u32string> SplitLines(const std::u32string& series) {
    std::vector<std::u32string> lines;
    std::size_t start = 0;
    while (start < series.size()) {
        const std::size_t end = series.find(U"\r\n", start);
        EXPECT_NE(end, std::u32string::npos) << "last line has no line break";
        if (end == std::u32string::npos) break;
        lines.push_back(series.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

struct SeriesCase {
    const char* name;
    std::u32string leadingValue;
    std::u32string firstLine;
    std::u32string lastLine;
};

const SeriesCase kSeriesCases[] = {
    {"ordinary", U"A0000", U"A0000", U"A0009"},
    {"carry inside the width", U"B0995", U"B0995", U"B1004"},
    {"numbers outgrow the width", U"A9995", U"A9995", U"A10004"},
    {"no prefix", U"12345", U"12345", U"12354"},
    {"hyphen belongs to the prefix", U"AB-01", U"AB-01", U"AB-10"},
    {"no digit: width 0, base 0", U"ABCDE", U"ABCDE0", U"ABCDE9"},
    {"tail letters count in the width only", U"A12B3", U"A0012", U"A0021"},
    {"exponent", U"A1E05", U"A100000", U"A100009"},
    {"half rounds up", U"A1.5", U"A002", U"A011"},
    {"half of an even number rounds up too", U"A2.5", U"A003", U"A012"},
    {"below one half rounds down", U"A0.49", U"A0000", U"A0009"},
    {"exponent letter D", U"A1D3", U"A1000", U"A1009"},
    {"lowercase exponent letters", U"A1e3", U"A1000", U"A1009"},
    {"lowercase d", U"A1d3", U"A1000", U"A1009"},
    {"exponent applies to the fraction", U"A1.5E1", U"A00015", U"A00024"},
    {"negative exponent", U"A15E-1", U"A00002", U"A00011"},
    {"negative exponent to a half", U"A25E-1", U"A00003", U"A00012"},
    {"exponent with plus sign", U"A1E+2", U"A0100", U"A0109"},
    {"exponent without digits", U"A1E", U"A01", U"A10"},
    {"second decimal point ends the reading", U"A1.2.3", U"A00001", U"A00010"},
    {"second exponent ends the reading", U"A1E1E1", U"A00010", U"A00019"},
    {"space inside the number is skipped", U"A1 2", U"A012", U"A021"},
    {"tab inside the number is skipped", U"A1\t2", U"A012", U"A021"},
    {"line feed inside the number is skipped", U"A1\n2", U"A012", U"A021"},
    {"blanks around the exponent", U"A1 E 2", U"A00100", U"A00109"},
    {"carriage return is no blank", U"A1\r2", U"A001", U"A010"},
    {"zero with a huge exponent is zero", U"A0E99999", U"A0000000", U"A0000009"},
    {"huge negative exponent rounds to zero", U"A1E-99999999999999999999", U"A" + Repeat(U'0', 23),
     U"A" + Repeat(U'0', 22) + U"9"},
    {"exact decimal, not double: 2.4999999999999999999 rounds down", U"A2.4999999999999999999",
     U"A" + Repeat(U'0', 20) + U"2", U"A" + Repeat(U'0', 19) + U"11"},
    {"Arabic-Indic digit is no digit", U"A\u0661", U"A\u06610", U"A\u06619"},
    {"fullwidth digit is no digit", U"\uFF11", U"\uFF110", U"\uFF119"},
    {"emoji prefix", U"\U0001F6007", U"\U0001F6007", U"\U0001F60016"},
    {"accented prefix", U"\u00e912", U"\u00e912", U"\u00e921"},
};

TEST(LabelSeries, TenLinesFromFirstToLast) {
    for (const SeriesCase& c : kSeriesCases) {
        const std::u32string series = MakeLabelSeries(c.leadingValue);
        ASSERT_GE(series.size(), 2u) << c.name;
        EXPECT_EQ(series.substr(series.size() - 2), U"\r\n") << c.name;
        const std::vector<std::u32string> lines = SplitLines(series);
        ASSERT_EQ(lines.size(), 10u) << c.name;
        EXPECT_EQ(lines.front(), c.firstLine) << c.name;
        EXPECT_EQ(lines.back(), c.lastLine) << c.name;
    }
}

TEST(LabelSeries, EmptyLeadingValueGivesEmptyList) { EXPECT_EQ(MakeLabelSeries(U""), U""); }

TEST(LabelSeries, LongTailsCountExactly) {
    struct Case {
        const char* name;
        std::u32string leadingValue;
        std::vector<std::u32string> lines;
    };
    std::vector<Case> cases = {
        {"16 digits", U"A9999999999999995", {}},
        {"17 digits", U"A99999999999999999", {}},
        {"30 digits", U"X123456789012345678901234567890", {}},
        {"500 digits", U"A7" + Repeat(U'9', 499), {}},
    };
    for (char32_t d = U'5'; d <= U'9'; ++d) cases[0].lines.push_back(U"A" + Repeat(U'9', 15) + d);
    for (char32_t d = U'0'; d <= U'4'; ++d) cases[0].lines.push_back(U"A1" + Repeat(U'0', 15) + d);
    cases[1].lines.push_back(cases[1].leadingValue);
    for (char32_t d = U'0'; d <= U'8'; ++d) cases[1].lines.push_back(U"A1" + Repeat(U'0', 16) + d);
    for (char32_t d = U'0'; d <= U'9'; ++d) {
        cases[2].lines.push_back(U"X12345678901234567890123456789" + std::u32string(1, d));
    }
    cases[3].lines.push_back(cases[3].leadingValue);
    for (char32_t d = U'0'; d <= U'8'; ++d) cases[3].lines.push_back(U"A8" + Repeat(U'0', 498) + d);

    for (const Case& c : cases) {
        EXPECT_EQ(SplitLines(MakeLabelSeries(c.leadingValue)), c.lines) << c.name;
    }
}

TEST(LabelSeries, ThousandDigitLimit) {
    struct Case {
        const char* name;
        std::u32string leadingValue;
        bool hasLines;
    };
    const Case cases[] = {
        {"999 digits", U"A1E998", true},
        {"1000 digits", U"A1E999", true},
        {"1000 nines may carry into a 1001st digit", U"A" + Repeat(U'9', 1000), true},
        {"1001 digits by exponent", U"A1E1000", false},
        {"1001 digits by mantissa and exponent", U"A10E999", false},
        {"1001 digits written out", U"A1" + Repeat(U'0', 1000), false},
        {"1001 digits after rounding a fraction", U"A" + Repeat(U'9', 1000) + U".5", false},
        {"past double's range, 401 digits", U"A1E400", true},
        {"large exponent", U"A1E99999", false},
        {"exponent beyond 64 bits", U"A1E99999999999999999999", false},
    };
    for (const Case& c : cases) {
        const std::u32string series = MakeLabelSeries(c.leadingValue);
        EXPECT_EQ(SplitLines(series).size(), c.hasLines ? 10u : 0u) << c.name;
    }
    const std::vector<std::u32string> lines = SplitLines(MakeLabelSeries(U"A1E999"));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines.front(), U"A1" + Repeat(U'0', 999));
    EXPECT_EQ(lines.back(), U"A1" + Repeat(U'0', 998) + U"9");
}

TEST(ReadRoundedHalfEven, StoredTypeTexts) {
    struct Case {
        const char* name;
        std::u32string text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"one", U"1", 1},
        {"seven", U"7", 7},
        {"letters read as nothing", U"abc", 0},
        {"empty", U"", 0},
        {"leading blank", U" 1", 1},
        {"exponent zero", U"1e0", 1},
        {"exponent D", U"1D1", 10},
        {"one and a half to even 2", U"1.5", 2},
        {"two and a half to even 2", U"2.5", 2},
        {"three and a half to even 4", U"3.5", 4},
        {"one half to even 0", U"0.5", 0},
        {"just above one half", U"2.5000001", 3},
        {"half written with trailing zeros", U"2.500", 2},
        {"no digits before the point", U".6", 1},
        {"minus sign is not read", U"-1", 0},
        {"largest 32-bit value", U"2147483647", 2147483647},
        {"rounds down to the largest value", U"2147483646.5", 2147483646},
        {"one past the largest value", U"2147483648", std::nullopt},
        {"rounds up past the largest value", U"2147483647.5", std::nullopt},
        {"far past 32 bits", U"1E99999999999999999999", std::nullopt},
        {"tiny", U"1E-99999999999999999999", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadRoundedHalfEven(c.text), c.value) << c.name;
    }
}

}  // namespace
}  // namespace linomark
