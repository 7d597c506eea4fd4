#include "engine/progress_indicator.h"

namespace {

// The indicator's 0.01 is single precision (0.0099999998), so a full bar of 293 columns lights
// 292 of them.
constexpr float kPercentToFraction = 0.01f;

}  // namespace

ProgressFigures::ProgressFigures(uint32_t total, uint32_t done) : total_(total), done_(done) {
    Recompute();
}

void ProgressFigures::Reset() {
    done_ = 0;
    Recompute();
}

void ProgressFigures::SetTotal(uint32_t total) {
    total_ = total;
    Recompute();
}

bool ProgressFigures::Advance(uint32_t amount) {
    const uint32_t sum = done_ + amount;  // modulo 2^32
    if (sum > total_) {
        return false;
    }
    done_ = sum;
    Recompute();
    return true;
}

int32_t ProgressFigures::LitWidth(int32_t width) const {
    if (width <= 0) {
        return 0;
    }
    const double lit =
        static_cast<double>(width) * static_cast<double>(percent_) * kPercentToFraction;
    // A negative percent (a total above 2^31 read as signed) lights nothing, and one above 100
    // (done beyond a total lowered later) no more than the whole picture.
    if (!(lit > 0.0)) {
        return 0;
    }
    if (lit >= static_cast<double>(width)) {
        return width;
    }
    return static_cast<int32_t>(lit);
}

void ProgressFigures::Recompute() {
    const int32_t signed_total = static_cast<int32_t>(total_);
    if (signed_total == 0) {
        percent_ = 0.0f;  // nothing to divide by: nothing is lit
        return;
    }
    percent_ =
        static_cast<float>(static_cast<double>(done_) * 100.0 / static_cast<double>(signed_total));
}
