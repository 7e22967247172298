// The LTO label's drawing against the library makers' rules, and the stock,
// layouts and runs: what is refused, and how a run fills its sheets.
#include <gtest/gtest.h>

#include <algorithm>

#include "drawing/lto_label.h"
#include "recorded_ops.h"
#include "sheet/lto_run.h"
#include "sheet/placement.h"

namespace linomark {
namespace {

SheetLayout Custom(float width, float height, int columns, int rows, float left, float pitchX) {
    SheetLayout l = *LtoStockById("a4-2x15");
    l.id = "custom";
    l.labelWidth = width, l.labelHeight = height, l.columns = columns, l.rows = rows;
    l.left = left, l.pitchX = pitchX;
    return l;
}

LtoJob LtoRun(const char* stock, int count, int startAt) {
    return {*LtoStockById(stock), SerialRun("ABC100", count, "L8").Value(), startAt, true, false};
}

// Only a checked plan is made into pages: the refusals come from either step.
Outcome<QByteArray> MakeLtoPdf(const LtoJob& job, Margins margins, AlignmentOffset offset) {
    const Outcome<LtoPlan> plan = PlanLtoJob(job);
    if (!plan) return Fail(plan.Reason());
    return MakeLtoPdf(plan.Value(), {{"", 0, 0, margins}, {}, offset});
}

TEST(LtoLabel, DrawnToTheRulesInItsCell) {
    RecordingSurface page;
    PrintLtoLabel(page, 26.0f, 21.0f, U"AB1230L9", {79.0f, 17.0f, true});
    std::vector<RecordedOp> bars, all = OpsOfKind(page, OpKind::FillBox);
    std::copy_if(all.begin(), all.end(), std::back_inserter(bars),
                 [](const RecordedOp& b) { return b.y2 - b.y1 > 11.0f; });
    ASSERT_EQ(bars.size(), 50u) << "ten characters of five bars";
    float narrowest = 99.0f, widest = 0.0f, top = 99.0f, bottom = 0.0f;
    for (const RecordedOp& op : all) top = std::min(top, op.y1), bottom = std::max(bottom, op.y2);
    for (const RecordedOp& b : bars) {
        narrowest = std::min(narrowest, b.x2 - b.x1), widest = std::max(widest, b.x2 - b.x1);
        EXPECT_GE(b.y2 - b.y1, 11.1f);
    }
    EXPECT_NEAR(narrowest, 0.4233f, 1e-4f);
    EXPECT_NEAR(widest / narrowest, 2.75f, 1e-4f);
    EXPECT_GE(bars.front().x1 - 26.0f, 4.5f) << "quiet zone on the left";
    EXPECT_GE(26.0f + 79.0f - bars.back().x2, 4.5f) << "quiet zone on the right";
    EXPECT_GE(top - 21.0f, 0.5f);
    EXPECT_LE(bottom, 21.0f + 17.0f - 0.5f);
    std::u32string texts;
    for (const RecordedOp& t : OpsOfKind(page, OpKind::PrintText)) {
        texts += t.text + U"|";
        EXPECT_TRUE(t.font.bold && t.font.size * RecordingSurface::kUnitsPerPoint * 0.688f >= 3.0f);
    }
    EXPECT_EQ(texts, U"A|B|1|2|3|0|L9|");
    // Fills and inks of 1, 2, 3, 0: #FAE54A, #9AC653, #01A5E2, #BB282E; black
    // on the light fills, white on the red one; black again at the end.
    std::vector<int> colours;
    for (const RecordedOp& c : OpsOfKind(page, OpKind::SetColour))
        colours.push_back(int(c.x1) << 16 | int(c.y1) << 8 | int(c.x2));
    const std::vector<int> expected{0xFAE54A, 0, 0, 0, 0x9AC653, 0, 0,        0,
                                    0x01A5E2, 0, 0, 0, 0xBB282E, 0, 0xFFFFFF, 0};
    EXPECT_EQ(colours, expected);
    RecordingSurface mono;
    PrintLtoLabel(mono, 0.0f, 0.0f, U"AB1230L9", {79.0f, 17.0f, false});
    EXPECT_TRUE(OpsOfKind(mono, OpKind::SetColour).empty()) << "colour off sets no ink";
}

TEST(LtoSheet, BadLayoutsAndJobsAreRefused) {
    const struct {
        const char* name;
        Outcome<QByteArray> outcome;
        const char* reason;
    } refusals[] = {
        {"start beyond the sheet", MakeLtoPdf(LtoRun("a4-2x15", 1, 31), {}, {}),
         "Start at label 31 is beyond the sheet: it has 30 labels, so start at 1 to 30."},
        {"grid off the paper", MakeLtoPdf({Custom(70, 17, 3, 15, 1, 70), {{"A", "L9"}}}, {}, {}),
         "The last column ends 211 mm from the left edge, past the 210 mm width of A4: the left "
         "edge, the pitch across, the label width or the number of columns is too large."},
        {"overlapping labels", MakeLtoPdf({Custom(70, 17, 2, 15, 1, 69.5), {{"A", "L9"}}}, {}, {}),
         "The pitch across, 69.5 mm, is less than the label width, 70 mm: the labels would "
         "overlap."},
        {"label too narrow", MakeLtoPdf({Custom(54, 17, 2, 15, 1, 60), {{"A", "L9"}}}, {}, {}),
         "The label width 54 mm is too narrow for the symbol: it needs 54.45 mm at least."},
        {"label too low", MakeLtoPdf({Custom(79, 15, 2, 15, 26, 79), {{"A", "L9"}}}, {}, {}),
         "The label height 15 mm is too low for the text and the bars: it needs 16.8 mm at least."},
        {"moved into the margin",
         MakeLtoPdf(LtoRun("a4-3x17", 1, 1), {4.2f, 4.2f, 4.2f, 4.2f}, {0, -1.5f}),
         "The labels would print 3.90 mm from the top edge of the paper, inside the 4.20 mm "
         "there that the printer cannot print on. Check the alignment offset or the layout; "
         "nothing was made."},
    };
    for (const auto& r : refusals) {
        ASSERT_FALSE(r.outcome.Ok()) << r.name;
        EXPECT_EQ(r.outcome.Reason(), r.reason) << r.name;
    }
}

TEST(LtoSheet, RunsFillSheetsFromTheirStart) {
    const struct {
        LtoJob job;
        int sheets;
        int nextStart;
        const char* summary;
    } cases[] = {
        {LtoRun("a4-2x15", 35, 1), 2, 6, "35 labels, ABC100L8 to ABC134L8, on 2 sheets"},
        {LtoRun("a4-2x15", 61, 5), 3, 6, "61 labels, ABC100L8 to ABC160L8, on 3 sheets"},
        {LtoRun("a4-3x17", 51, 1), 1, 1, "51 labels, ABC100L8 to ABC150L8, on 1 sheet"},
        {LtoRun("letter-2x15", 1, 30), 1, 1, "1 label, ABC100L8, on 1 sheet"},
    };
    for (const auto& c : cases) {
        const Outcome<LtoPlan> plan = PlanLtoJob(c.job);
        ASSERT_TRUE(plan.Ok()) << c.summary << ": " << plan.Reason();
        EXPECT_EQ(plan.Value().sheets, c.sheets) << c.summary;
        EXPECT_EQ(plan.Value().nextStart, c.nextStart) << c.summary;
        EXPECT_EQ(plan.Value().summary, c.summary);
    }
    for (const SheetLayout& stock : LtoStocks()) EXPECT_TRUE(CheckLayout(stock).Ok()) << stock.id;
    // A custom sheet made one label a page keeps its label size as the page.
    const SheetLayout roll = OneLabelAPageOf(*LtoStockById("a4-3x17"));
    ASSERT_TRUE(CheckLayout(roll).Ok()) << CheckLayout(roll).Reason();
    EXPECT_TRUE(OneLabelAPage(roll));
    EXPECT_EQ(PlanLtoJob({roll, LtoRun("a4-2x15", 3, 1).labels}).Value().sheets, 3);
}

}  // namespace
}  // namespace linomark
