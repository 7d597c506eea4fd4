#pragma once

// How far a copy or a removal has come. ProgressFigures holds the numbers and the rules that turn
// them into lit columns of the indicator's picture; ProgressIndicator is what the workers drive
// (the installer's window, a terminal bar, or a test's recorder). One indicator is current in the
// process at a time: the copy's reader and writer and the removal reach it through
// CurrentProgressIndicator().

#include <cstdint>

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

class ProgressIndicator {
  public:
    virtual ~ProgressIndicator() = default;

    virtual void Reset() = 0;
    virtual void SetTotal(uint32_t total) = 0;
    virtual void Advance(uint32_t amount) = 0;

    // Set by the user (a click on the indicator); read and cleared by the copy's writer.
    virtual bool CancelRequested() = 0;
    virtual void ClearCancelRequest() = 0;
};

ProgressIndicator* CurrentProgressIndicator();
void SetCurrentProgressIndicator(ProgressIndicator* indicator);
// Forgets `indicator` if it is the current one (an indicator going away calls it).
void ClearCurrentProgressIndicator(ProgressIndicator* indicator);
