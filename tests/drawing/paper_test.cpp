// The paper a sheet is made on. Sizes are the standards' own (ISO 216 A4 210
// x 297 mm, A5 148 x 210; ANSI Letter 8.5 x 11 in = 215.9 x 279.4 mm, Legal
// 8.5 x 14 in = 215.9 x 355.6 mm); the sheet needs 15 + 3 * 57.15 = 186.45
// mm across (type 0) and 15 + 10 * 20.9 + 5 + 5 = 234 mm down.
#include "sheet/paper.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "sheet/sheet_pages.h"

namespace linomark {
namespace {

TEST(Paper, NamesOfEveryKindGiveTheirSize) {
    struct Case {
        const char* name;
        const char* mediaName;
        const char* pwgName;  // empty: no paper
        float width;
        float height;
    } const cases[] = {
        {"PWG name", "iso_a4_210x297mm", "iso_a4_210x297mm", 210.0f, 297.0f},
        {"PPD name", "Letter", "na_letter_8.5x11in", 215.9f, 279.4f},
        {"libpaper name", "a4", "iso_a4_210x297mm", 210.0f, 297.0f},
        {"a list names its size first", "na_legal_8.5x14in,tray-1", "na_legal_8.5x14in", 215.9f,
         355.6f},
        {"a source before the size", "auto,iso_a5_148x210mm", "iso_a5_148x210mm", 148.0f, 210.0f},
        {"a size of its own", "custom_label_200x300mm", "custom_label_200x300mm", 200.0f, 300.0f},
        {"no size at all", "tray-1", "", 0.0f, 0.0f},
        {"nothing", "", "", 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const std::optional<Paper> paper = PaperNamed(c.mediaName);
        ASSERT_EQ(paper.has_value(), *c.pwgName != '\0') << c.name;
        if (!paper) continue;
        EXPECT_EQ(paper->name, c.pwgName) << c.name;
        EXPECT_NEAR(paper->width, c.width, 0.01f) << c.name;
        EXPECT_NEAR(paper->height, c.height, 0.01f) << c.name;
    }
}

TEST(Paper, TheSheetFitsA4AndLetterInsideThePrintersMargins) {
    struct Case {
        const char* name;
        const char* media;
        Margins margins;
        LabelType type;
        bool fits;
    } const cases[] = {
        {"A4 without margins", "iso_a4_210x297mm", {}, LabelType::WithCheck, true},
        {"A4 with 12-point margins",
         "iso_a4_210x297mm",
         {4.23f, 4.23f, 4.23f, 4.23f},
         LabelType::WithCheck,
         true},
        {"Letter with 12-point margins",
         "na_letter_8.5x11in",
         {4.23f, 4.23f, 4.23f, 4.23f},
         LabelType::WithoutCheck,
         true},
        {"A5 is too narrow", "iso_a5_148x210mm", {}, LabelType::WithCheck, false},
        {"an index card", "na_index-4x6_4x6in", {}, LabelType::WithoutCheck, false},
        {"B5: 176 mm is too narrow", "iso_b5_176x250mm", {}, LabelType::WithCheck, false},
        {"A4 with 12 mm side margins: 12 + 186.45 + 12 > 210",
         "iso_a4_210x297mm",
         {12.0f, 0.0f, 12.0f, 0.0f},
         LabelType::WithCheck,
         false},
        {"type 1 needs 183 mm: fits there",
         "iso_a4_210x297mm",
         {12.0f, 0.0f, 12.0f, 0.0f},
         LabelType::WithoutCheck,
         true},
        {"A4 with 32 mm top and bottom: 32 + 234 + 32 > 297",
         "iso_a4_210x297mm",
         {0.0f, 32.0f, 0.0f, 32.0f},
         LabelType::WithCheck,
         false},
    };
    for (const Case& c : cases) {
        Paper paper = *PaperNamed(c.media);
        paper.margins = c.margins;
        EXPECT_EQ(CheckSheetLanding({paper, "Q", {}}, c.type).Ok(), c.fits) << c.name;
    }
}

TEST(Paper, AbsurdMarginsCountAsNone) {
    struct Case {
        const char* name;
        Margins reported;
        float left;
    } const cases[] = {
        {"ordinary", {4.23f, 4.23f, 4.23f, 4.23f}, 4.23f},
        {"50 mm is believed", {50.0f, 0.0f, 0.0f, 0.0f}, 50.0f},
        {"negative", {-1.0f, 4.23f, 4.23f, 4.23f}, 0.0f},
        {"over 50 mm on one side", {4.23f, 4.23f, 4.23f, 50.1f}, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaneMargins(c.reported).left, c.left) << c.name;
    }
}

TEST(Paper, WarningsNameTheSizeAsPeopleDo) {
    EXPECT_EQ(PaperDisplayName(*PaperNamed("iso_a5_148x210mm")), "A5");
    EXPECT_EQ(PaperDisplayName(*PaperNamed("na_letter_8.5x11in")), "Letter");
    EXPECT_EQ(PaperDisplayName(*PaperNamed("custom_card_101.6x152.4mm")), "101.6 x 152.4 mm");
}

// libpaper's order: $PAPERSIZE, then the file $PAPERCONF (or /etc/papersize)
// whose first word that is not a comment names the size; A4 otherwise. Only
// a regular file of at most 4 KiB is read: a pipe without a writer or an
// endless device would hold the program forever.
TEST(Paper, SystemPaperFollowsLibpaper) {
    const std::string conf = ::testing::TempDir() + "/papersize";
    std::ofstream(conf) << "# the system's paper\n\n  letter  \n";
    const std::string large = ::testing::TempDir() + "/papersize-large";
    std::ofstream(large) << "letter" << std::string(4096, ' ');
    const std::string pipe = ::testing::TempDir() + "/papersize-pipe";
    ::unlink(pipe.c_str());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        const char* name;
        const char* papersize;  // null: unset
        const char* paperconf;
        const char* expected;
    } const cases[] = {
        {"PAPERSIZE wins", "a5", conf.c_str(), "iso_a5_148x210mm"},
        {"the file's first word", nullptr, conf.c_str(), "na_letter_8.5x11in"},
        {"an unknown size falls back to A4", "folio-ish", "/nonexistent", "iso_a4_210x297mm"},
        {"no file falls back to A4", nullptr, "/nonexistent", "iso_a4_210x297mm"},
        {"a pipe without a writer is absent", nullptr, pipe.c_str(), "iso_a4_210x297mm"},
        {"an endless device is absent", nullptr, "/dev/zero", "iso_a4_210x297mm"},
        {"over 4 KiB is absent", nullptr, large.c_str(), "iso_a4_210x297mm"},
    };
    for (const Case& c : cases) {
        if (c.papersize) {
            setenv("PAPERSIZE", c.papersize, 1);
        } else {
            unsetenv("PAPERSIZE");
        }
        setenv("PAPERCONF", c.paperconf, 1);
        EXPECT_EQ(SystemPaper().name, c.expected) << c.name;
    }
    unsetenv("PAPERSIZE");
    unsetenv("PAPERCONF");
}

}  // namespace
}  // namespace linomark
