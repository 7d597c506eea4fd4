#pragma once

// How far a copy or a removal has come, as the workers report it: the installer's progress
// window, a terminal bar, or a test's recorder. Whoever starts the work hands the workers the
// one to drive.

#include <cstdint>

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
