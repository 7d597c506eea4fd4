#pragma once

// How far a copy or a removal has come: ProgressFigures holds the numbers and the rules that turn
// them into lit columns of the indicator's picture. ProgressIndicator (platform/progress.h) is
// what the workers drive.

#include <cstdint>

#include "platform/progress.h"

class ProgressFigures {
  public:
    ProgressFigures(uint32_t total, uint32_t done);

    void Reset();  // done = 0
    void SetTotal(uint32_t total);
    // done += amount when the sum (modulo 2^32) stays within total; false when nothing changed.
    bool Advance(uint32_t amount);

    uint32_t total() const { return total_; }
    uint32_t done() const { return done_; }
    float percent() const { return percent_; }

    // Columns of a picture `width` pixels wide that show as done: width x percent x 0.01 with the
    // single-precision 0.01, truncated; none for a total of 0; never more than width.
    int32_t LitWidth(int32_t width) const;

  private:
    void Recompute();

    uint32_t total_;  // the amount that means 100 percent (divided as a signed 32-bit value)
    uint32_t done_;   // the amount reached
    float percent_;   // done x 100 / total as last computed; 0 for a total of 0
};
