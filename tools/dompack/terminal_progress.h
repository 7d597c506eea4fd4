#pragma once

// The progress indicator of `dompack extract`: a bar on a terminal, redrawn only when it changes
// and at most every tenth of a second; nothing at all when the stream is not a terminal. Driven
// by the pipeline's workers one at a time, like the installer's window, so it needs no lock.

#include <chrono>
#include <cstdio>

#include "engine/progress_indicator.h"

class TerminalProgress : public ProgressIndicator {
  public:
    explicit TerminalProgress(std::FILE* out);

    void Reset() override;
    void SetTotal(uint32_t total) override;
    void Advance(uint32_t amount) override;
    // Nothing on a terminal asks to stop between two chunks.
    bool CancelRequested() override { return false; }
    void ClearCancelRequest() override {}

    // Draws the last state and ends the bar's line, so that a message can follow.
    void EndLine();

  private:
    void Draw(bool now);

    static constexpr int kColumns = 40;
    std::FILE* out_;
    bool enabled_;  // out_ is a terminal
    ProgressFigures figures_{0, 0};
    int drawn_columns_ = -1;  // of the bar on screen; -1: no bar on the current line
    int drawn_percent_ = -1;
    std::chrono::steady_clock::time_point drawn_at_;
};
