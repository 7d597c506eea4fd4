// The progress indicator's figures: percent and lit columns as the picture shows them, and the
// rules of Reset, SetTotal and Advance.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/progress_indicator.h"

namespace {

constexpr int32_t kPictureWidth = 293;

TEST(ProgressFigures, PercentAndLitColumns) {
    struct Row {
        uint32_t total;
        uint32_t done;
        int32_t width;
        float percent;
        int32_t lit;
        const char* label;
    };
    const Row rows[] = {
        {100, 100, 293, 100.0f, 292, "done equals total: one column stays unlit"},
        {2662, 2662, 293, 100.0f, 292, "the uninstall's total, complete"},
        {200000000, 200000000, 293, 100.0f, 292, "the install size, complete"},
        {100, 50, 293, 50.0f, 146, "half"},
        {3, 1, 293, 33.333332f, 97, "percent kept in single precision"},
        {293, 292, 293, 99.658707f, 292, "one short of the total"},
        {100, 0, 293, 0.0f, 0, "nothing done"},
        // 0.01 in double precision would light 37 and 100 columns here.
        {100, 37, 100, 37.0f, 36, "the single-precision 0.01 truncates below"},
        {200, 100, 200, 50.0f, 99, "the single-precision 0.01 truncates below, again"},
        {0, 0, 293, 0.0f, 0, "a total of 0 lights nothing"},
        {0, 5, 293, 0.0f, 0, "a total of 0 lights nothing, whatever is done"},
        {100, 150, 293, 150.0f, 293, "above 100 percent: the whole picture"},
        {1, 0xFFFFFFFFu, 293, 429496729600.0f, 293, "far above 100 percent"},
        {100, 100, 0, 100.0f, 0, "a picture that could not be measured"},
        {100, 100, -5, 100.0f, 0, "a negative width"},
    };
    for (const Row& row : rows) {
        const ProgressFigures figures(row.total, row.done);
        EXPECT_FLOAT_EQ(figures.percent(), row.percent) << row.label;
        EXPECT_EQ(figures.LitWidth(row.width), row.lit) << row.label;
    }
}

TEST(ProgressFigures, TotalIsDividedAsASignedNumber) {
    const ProgressFigures figures(0x80000000u, 100);
    EXPECT_LT(figures.percent(), 0.0f);
    EXPECT_EQ(figures.LitWidth(kPictureWidth), 0);
}

// One step applied to the figures and what they hold after it.
struct Step {
    enum Kind { kAdvance, kSetTotal, kReset } kind;
    uint32_t value;
    bool changed;  // Advance's result; ignored for the others
    uint32_t done;
    int32_t lit;  // of 293 columns
};

void RunSteps(uint32_t total, uint32_t done, const std::vector<Step>& steps, const char* label) {
    ProgressFigures figures(total, done);
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        switch (step.kind) {
            case Step::kAdvance:
                EXPECT_EQ(figures.Advance(step.value), step.changed) << label << ", step " << i;
                break;
            case Step::kSetTotal:
                figures.SetTotal(step.value);
                break;
            case Step::kReset:
                figures.Reset();
                break;
        }
        EXPECT_EQ(figures.done(), step.done) << label << ", step " << i;
        EXPECT_EQ(figures.LitWidth(kPictureWidth), step.lit) << label << ", step " << i;
    }
}

TEST(ProgressFigures, AdvanceSetTotalAndReset) {
    RunSteps(100, 0,
             {{Step::kAdvance, 60, true, 60, 175},
              {Step::kAdvance, 41, false, 60, 175},  // would pass the total: nothing changes
              {Step::kAdvance, 40, true, 100, 292},  // reaches it exactly
              {Step::kAdvance, 1, false, 100, 292},
              {Step::kSetTotal, 200, false, 100, 146},  // a larger total lets it move again
              {Step::kAdvance, 1, true, 101, 147}},
             "past the total, then a larger one");
    RunSteps(100, 30,
             {{Step::kAdvance, 0, true, 30, 87},  // no change in the lit width
              {Step::kAdvance, 0, true, 30, 87}},
             "Advance(0)");
    RunSteps(1000, 0,
             {{Step::kAdvance, 1, true, 1, 0},  // 0.29 columns: still none lit
              {Step::kAdvance, 2, true, 3, 0},
              {Step::kAdvance, 1, true, 4, 1}},
             "advances below one column");
    RunSteps(100, 50,
             {{Step::kReset, 0, false, 0, 0},
              {Step::kAdvance, 10, true, 10, 29},
              {Step::kSetTotal, 0, false, 10, 0},  // a total of 0 lights nothing
              {Step::kAdvance, 1, false, 10, 0},
              {Step::kReset, 0, false, 0, 0},
              {Step::kAdvance, 0, true, 0, 0}},
             "Reset and a total of 0");
    RunSteps(2662, 0,
             {{Step::kAdvance, 2662, true, 2662, 292},
              {Step::kSetTotal, 1000, false, 2662, 293},  // above 100 percent: clipped
              {Step::kAdvance, 1, false, 2662, 293},
              {Step::kReset, 0, false, 0, 0}},
             "a total lowered below what is done");
    RunSteps(100, 10, {{Step::kAdvance, 0xFFFFFFFFu, true, 9, 26}},  // the sum wraps modulo 2^32
             "a sum beyond 32 bits");
}

TEST(ProgressFigures, MoreStepsThanTheTotalStayAtTheEnd) {
    ProgressFigures figures(2662, 0);
    int changed = 0;
    for (int i = 0; i < 3000; ++i) {
        changed += figures.Advance(1) ? 1 : 0;
    }
    EXPECT_EQ(changed, 2662);
    EXPECT_EQ(figures.done(), 2662u);
    EXPECT_EQ(figures.LitWidth(kPictureWidth), 292);
}

}  // namespace
