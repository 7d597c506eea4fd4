#pragma once

// What the progress indicator paints when its lit width changes: the newly lit columns only,
// or, the first time and whenever fewer columns are lit than were drawn, the whole picture in
// its unlit colours before lighting anything.

#include <cstdint>

// Drawn columns when nothing has been painted since construction or the last Reset.
constexpr int32_t kNothingDrawn = -1;

struct ProgressRedraw {
    bool paint_unlit;  // paint the whole picture unlit first
    int32_t lit_from;  // then light the columns [lit_from, lit_to)
    int32_t lit_to;

    bool PaintsNothing() const { return !paint_unlit && lit_from == lit_to; }
};

// The paint that takes the picture from `last_drawn` lit columns (or kNothingDrawn) to `lit`
// (0 or more); after it, `lit` columns are drawn.
ProgressRedraw PlanProgressRedraw(int32_t last_drawn, int32_t lit);
