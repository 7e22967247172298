// LTO serials, runs and lists: what is refused, and the labels a run makes.
#include "symbology/lto.h"

#include <gtest/gtest.h>

namespace linomark {
namespace {

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "A\n";
    return text;
}

struct Refusal {
    const char* name;
    Outcome<std::vector<LtoLabel>> outcome;
    const char* reason;
};

TEST(LtoInput, BadInputIsRefusedWithItsReason) {
    const Refusal refusals[] = {
        {"character outside A-Z0-9", SerialRun("AB-100", 1, "L9"),
         "The volume serial \"AB-100\" may hold only the letters A-Z and the digits 0-9."},
        {"non-ASCII letter", SerialRun("ÄB100", 1, "L9"),
         "The volume serial \"ÄB100\" may hold only the letters A-Z and the digits 0-9."},
        {"seven-character serial", SerialRun("ABC1000", 1, "L9"),
         "The volume serial \"ABC1000\" has 7 characters; an LTO label takes 1 to 6."},
        {"one-character media ID", SerialRun("ABC100", 1, "L"),
         "The media ID \"L\" must be 2 characters of A-Z and 0-9, such as L9."},
        {"count 0", SerialRun("ABC100", 0, "L9"),
         "The count 0 is out of range: a run has 1 to 10,000 labels."},
        {"count 10,001", SerialRun("ABC100", 10001, "L9"),
         "The count 10,001 is out of range: a run has 1 to 10,000 labels."},
        {"run past the width", SerialRun("ABC990", 11, "L9"),
         "A run of 11 from \"ABC990\" would pass \"ABC999\", the last serial that fits its "
         "digits; the largest count from there is 10."},
        {"no digits", SerialRun("ABCDEF", 2, "L9"),
         "The first serial \"ABCDEF\" has no digits to count up; give the serials as a list "
         "instead."},
        {"list with a bad line", SerialList("ABC100\n\nABC1000 L9\n", "L9"),
         "Line 3: The volume serial \"ABC1000\" has 7 characters; an LTO label takes 1 to 6."},
        {"list line with a bad media ID", SerialList("CLN001 CUX", "L9"),
         "Line 1: The media ID \"CUX\" must be 2 characters of A-Z and 0-9, such as L9."},
        {"list of 10,001 lines", SerialList(Lines(10001), "L9"),
         "The list has more than 10,000 lines; print it in parts."},
    };
    for (const Refusal& r : refusals) {
        ASSERT_FALSE(r.outcome.Ok()) << r.name;
        EXPECT_EQ(r.outcome.Reason(), r.reason) << r.name;
    }
}

struct RunCase {
    const char* name;
    Outcome<std::vector<LtoLabel>> outcome;
    std::size_t size;
    LtoLabel first;
    LtoLabel last;
};

TEST(LtoInput, RunsAndListsMakeTheirLabels) {
    const RunCase cases[] = {
        {"ABC100 x 35", SerialRun("ABC100", 35, "L8"), 35, {"ABC100", "L8"}, {"ABC134", "L8"}},
        {"keeps the width", SerialRun("AB0098", 3, "L9"), 3, {"AB0098", "L9"}, {"AB0100", "L9"}},
        {"prefix and suffix kept",
         SerialRun("A07XY", 4, "lt"),
         4,
         {"A07XY", "LT"},
         {"A10XY", "LT"}},
        {"up to the last that fits",
         SerialRun("ABC990", 10, "L9"),
         10,
         {"ABC990", "L9"},
         {"ABC999", "L9"}},
        {"list: blank cell, own media ID, lower case",
         SerialList("abc100\r\n\nCLN001 CU\n", "L9"),
         3,
         {"ABC100", "L9"},
         {"CLN001", "CU"}},
        {"list of 10,000 lines", SerialList(Lines(10000), "L9"), 10000, {"A", "L9"}, {"A", "L9"}},
    };
    for (const RunCase& c : cases) {
        ASSERT_TRUE(c.outcome.Ok()) << c.name << ": " << c.outcome.Reason();
        EXPECT_EQ(c.outcome.Value().size(), c.size) << c.name;
        EXPECT_EQ(c.outcome.Value().front(), c.first) << c.name;
        EXPECT_EQ(c.outcome.Value().back(), c.last) << c.name;
    }
    EXPECT_EQ(SerialList("A\n\nB", "L9").Value()[1], LtoLabel{}) << "an empty line is a blank cell";
    EXPECT_EQ(LtoSymbolText({"ABC123", "L9"}), U"*ABC123L9*");
}

}  // namespace
}  // namespace linomark
