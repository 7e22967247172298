// LTO serials, runs and lists: what is refused, and the labels a run makes.
#include "symbology/lto.h"

#include <gtest/gtest.h>

#include "symbology/lto_list.h"

namespace linomark {
namespace {

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(i) + "\n";
    return text;
}

Outcome<std::vector<LtoLabel>> ListLabels(std::string_view text, std::string_view mediaId) {
    Outcome<LtoList> list = SerialList(text, mediaId);
    if (!list) return list.Failed();
    return std::move(list.Value().labels);
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
        {"seven characters, not a tag", SerialRun("ABC1000", 1, "L9"),
         "The tag \"ABC1000\" ends in \"00\", which is no LTO media ID: a tag is a serial of 5 "
         "or 6 characters and its media ID, such as ABC100L9."},
        {"nine-character serial", SerialRun("ABC100L9X", 1, "L9"),
         "The volume serial \"ABC100L9X\" has 9 characters; an LTO label takes 1 to 6, or a "
         "full tag such as ABC100L9."},
        {"no media ID", SerialRun("ABC100", 1, ""),
         "The serial \"ABC100\" has no media ID: write it as a full tag such as ABC100L9, or "
         "give the media ID."},
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
        {"list with a bad line", ListLabels("ABC100\n\nAB-100 L9\n", "L9"),
         "Line 3: The volume serial \"AB-100\" may hold only the letters A-Z and the digits 0-9."},
        {"list line with a bad media ID", ListLabels("CLN001 CUX", "L9"),
         "Line 1: The media ID \"CUX\" must be 2 characters of A-Z and 0-9, such as L9."},
        {"list of 10,001 labels", ListLabels(Lines(10001), "L9"),
         "The list has more than 10,000 labels; print it in parts."},
        {"tag and another media ID", ListLabels("ABC100L9,L8", ""),
         "Line 1: The tag \"ABC100L9\" has its own media ID, not \"L8\" as the next column says."},
        {"a colon but no inventory line", ListLabels("ABC100:L9", ""),
         "Line 1: \"ABC100:L9\" is neither a label nor a line of mtx status (no colon goes in a "
         "label)."},
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
         ListLabels("abc100\r\n\nCLN001 CU\n", "L9"),
         3,
         {"ABC100", "L9"},
         {"CLN001", "CU"}},
        {"list of 10,000 lines",
         ListLabels(Lines(10000), "L9"),
         10000,
         {"0", "L9"},
         {"9999", "L9"}},
        {"run from a full tag",
         SerialRun("abc100l9", 40, ""),
         40,
         {"ABC100", "L9"},
         {"ABC139", "L9"}},
    };
    for (const RunCase& c : cases) {
        ASSERT_TRUE(c.outcome.Ok()) << c.name << ": " << c.outcome.Reason();
        EXPECT_EQ(c.outcome.Value().size(), c.size) << c.name;
        EXPECT_EQ(c.outcome.Value().front(), c.first) << c.name;
        EXPECT_EQ(c.outcome.Value().back(), c.last) << c.name;
    }
    EXPECT_EQ(ListLabels("A\n\nB", "L9").Value()[1], LtoLabel{}) << "an empty line is a blank cell";
    EXPECT_EQ(SerialAfterRun("ABC100L9", 40, "").Value(), "ABC140L9");
    EXPECT_EQ(SerialAfterRun("abc100", 40, "L9").Value(), "ABC140");
    EXPECT_EQ(LtoSymbolText({"ABC123", "L9"}), U"*ABC123L9*");
}

// Tags as a list reads them: "/" between cells, "-" for a blank one.
struct ListCase {
    const char* name;
    const char* text;
    const char* tags;
    int untagged;
};

TEST(LtoInput, ListsAndInventoriesGiveTheirLabelsInOrder) {
    const ListCase cases[] = {
        {"mtx status: an untagged drive, a slot's alternate tag, a blank tag",
         "Data Transfer Element 0:Full (Unknown Storage Element Loaded)\n"
         "      Storage Element 4:Full :VolumeTag=ABC103L9 :AlternateVolumeTag=X\n"
         "      Storage Element 5:Full :VolumeTag=   \n",
         "ABC103L9", 2},
        {"byte-order mark, comments, tab, comma, blank line",
         "\xEF\xBB\xBF# cartridges\nABC100\tL8\n\nCLN001,CU,cleaning\nABC101 # spare\r\n",
         "ABC100L8/-/CLN001CU/ABC101L9", 0},
    };
    for (const ListCase& c : cases) {
        const Outcome<LtoList> list = SerialList(c.text, "L9");
        ASSERT_TRUE(list.Ok()) << c.name << ": " << list.Reason();
        std::string tags;
        for (const LtoLabel& label : list.Value().labels)
            tags += (tags.empty() ? "" : "/") + (label.serial.empty() ? "-" : LtoTag(label));
        EXPECT_EQ(tags, c.tags) << c.name;
        EXPECT_EQ(list.Value().untagged, c.untagged) << c.name;
    }
}

}  // namespace
}  // namespace linomark
