#pragma once

// How far a copy or a removal has come, as the workers report it: the installer's progress
// window, a terminal bar, or a test's recorder. Whoever starts the work hands the workers the
// one to drive.

#include <cstdint>
#include <functional>

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

// Shows a progress indicator of `total` steps for work about to start, and hands it over; null
// when it cannot be shown. Whoever shows it keeps it until the work has reported back.
using ShowProgress = std::function<ProgressIndicator*(uint32_t total)>;
