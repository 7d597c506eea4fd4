#include "engine/progress_indicator_redraw.h"

ProgressRedraw PlanProgressRedraw(int32_t last_drawn, int32_t lit) {
    if (lit == last_drawn) {
        return {false, lit, lit};
    }
    // A bar that goes back (never with this system's callers) is painted afresh, as after a
    // Reset.
    if (last_drawn == kNothingDrawn || lit < last_drawn) {
        return {true, 0, lit};
    }
    return {false, last_drawn, lit};
}
