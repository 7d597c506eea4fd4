#include "tools/dompack/terminal_progress.h"

#include <unistd.h>

#include <string>

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out)
    : out_(out), enabled_(isatty(fileno(out)) == 1) {}

void TerminalProgress::Reset() {
    figures_.Reset();
    Draw(false);
}

void TerminalProgress::SetTotal(uint32_t total) {
    figures_.SetTotal(total);
    Draw(false);
}

void TerminalProgress::Advance(uint32_t amount) {
    if (figures_.Advance(amount)) {
        Draw(false);
    }
}

void TerminalProgress::EndLine() {
    if (!enabled_ || drawn_columns_ < 0) {
        return;
    }
    Draw(true);
    std::fputc('\n', out_);
    std::fflush(out_);
    drawn_columns_ = -1;
    drawn_percent_ = -1;
}

void TerminalProgress::Draw(bool now) {
    if (!enabled_) {
        return;
    }
    // Whole columns and percents of the figures' percentage, clipped to the bar: the
    // indicator's own rounding would leave the last column dark at 100 percent.
    const float percent = figures_.percent();
    const int shown_percent = percent <= 0.0f ? 0 : percent >= 100.0f ? 100 : int(percent);
    const int columns = percent >= 100.0f ? kColumns : shown_percent * kColumns / 100;
    if (columns == drawn_columns_ && shown_percent == drawn_percent_) {
        return;
    }
    const auto time = std::chrono::steady_clock::now();
    if (!now && drawn_columns_ >= 0 && shown_percent != 100 && time - drawn_at_ < kRedrawInterval) {
        return;
    }
    std::string bar(kColumns, ' ');
    bar.replace(0, static_cast<size_t>(columns), static_cast<size_t>(columns), '#');
    std::fprintf(out_, "\r[%s] %3d%%", bar.c_str(), shown_percent);
    std::fflush(out_);
    drawn_columns_ = columns;
    drawn_percent_ = shown_percent;
    drawn_at_ = time;
}
