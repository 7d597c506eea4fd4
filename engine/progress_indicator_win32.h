#pragma once

// The installer's progress indicator: a child window of the menu screen showing a row of carved
// figures (bitmaps 177 unlit and 176 lit, drawn through the 1-bit mask 175 so that only the
// figures cover what lies behind) that light up from left to right as the copy or the removal
// advances.
//
// Threads: the workers (the copy's reader and writer, the uninstall thread) call Reset,
// SetTotal, Advance and Redraw, each Redraw painting through a client-area device context of its
// own; OnPaint and OnLButtonUp run on the user-interface thread. The three pictures stay selected
// in memory device contexts made once with the indicator, so a Redraw makes and frees no context
// of its own (under wine making one costs the copy's reader a tenth of a millisecond each time).
// One lock covers the figures, the count of columns drawn and those memory contexts; the
// user-interface thread holds it only to paint, and a painting worker never waits for that
// thread, so neither can block the other for longer than a few blits.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/progress_indicator.h"
#include "platform/win32/ui/child_window.h"
#include "platform/win32/ui/device_context.h"
#include "platform/win32/ui/gdi_object.h"

class CProgressIndicator : public CChildWindow, public ProgressIndicator {
  public:
    // Loads the pictures from the program file; the window comes with Create.
    CProgressIndicator(uint32_t total, uint32_t done);
    ~CProgressIndicator() override;

    // Creates the window on `parent` at (175, 350)-(475, 380) of its client area and shows it;
    // false when it cannot be created.
    bool Create(HWND parent);

    void Reset() override;
    void SetTotal(uint32_t total) override;
    void Advance(uint32_t amount) override;
    bool CancelRequested() override { return cancel_requested_.load(); }
    void ClearCancelRequest() override { cancel_requested_.store(false); }

    // Paints what changed since the last Redraw; callable from any thread.
    void Redraw();

    // The picture's size: that of the mask, 0 x 0 when the pictures could not be loaded or held.
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

  protected:
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  private:
    void OnPaint();
    void OnLButtonUp();

    void RedrawLocked();
    // Clears the figure pixels of columns [from, to) and ORs the image held by `image_dc` in.
    void PaintColumns(HDC dc, HDC image_dc, int32_t from, int32_t to) const;

    std::mutex lock_;          // guards figures_, last_drawn_ and the memory contexts
    ProgressFigures figures_;  // total, done, percent
    OwnedBitmap unlit_;        // bitmap 177: the unfinished colours
    OwnedBitmap lit_;          // bitmap 176: the finished colours
    OwnedBitmap mask_;         // bitmap 175: 1 bit, 1 where the window shows through
    // The pictures selected for blits; declared after the bitmaps, so they let go of them first.
    MemoryDC unlit_dc_;
    MemoryDC lit_dc_;
    MemoryDC mask_dc_;
    int32_t width_ = 0;   // the picture's width in pixels
    int32_t height_ = 0;  // and height
    int32_t last_drawn_;  // columns lit by the last Redraw; kNothingDrawn
    // Set by a click, read and cleared by the copy's writer.
    std::atomic<bool> cancel_requested_{false};
};
