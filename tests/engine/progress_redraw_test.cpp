// What the indicator repaints as its lit width moves.

#include <gtest/gtest.h>

#include "engine/progress_indicator_redraw.h"

namespace {

TEST(ProgressRedraw, PaintsOnlyWhatChanged) {
    struct Row {
        int32_t last_drawn;
        int32_t lit;
        ProgressRedraw expected;
        const char* label;
    };
    const Row rows[] = {
        {kNothingDrawn, 0, {true, 0, 0}, "first paint, nothing lit"},
        {kNothingDrawn, 120, {true, 0, 120}, "first paint, some lit"},
        {0, 0, {false, 0, 0}, "unchanged at 0"},
        {120, 120, {false, 120, 120}, "unchanged"},
        {120, 146, {false, 120, 146}, "the newly lit columns only"},
        {0, 292, {false, 0, 292}, "all at once"},
        {146, 100, {true, 0, 100}, "fewer lit than drawn: afresh"},
        {146, 0, {true, 0, 0}, "back to none: afresh"},
    };
    for (const Row& row : rows) {
        const ProgressRedraw plan = PlanProgressRedraw(row.last_drawn, row.lit);
        EXPECT_EQ(plan.paint_unlit, row.expected.paint_unlit) << row.label;
        EXPECT_EQ(plan.lit_from, row.expected.lit_from) << row.label;
        EXPECT_EQ(plan.lit_to, row.expected.lit_to) << row.label;
        EXPECT_EQ(plan.PaintsNothing(), row.last_drawn == row.lit) << row.label;
    }
}

}  // namespace
