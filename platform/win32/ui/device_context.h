#pragma once

// Device contexts that release themselves: a memory context holding one bitmap for a blit, a
// window's client-area context, and the painting context of one WM_PAINT.

#include <windows.h>

// A memory device context with a bitmap selected into it for as long as it lives.
class MemoryDC {
  public:
    MemoryDC(HDC compatible_with, HBITMAP bitmap) : dc_(CreateCompatibleDC(compatible_with)) {
        if (dc_ != nullptr) {
            old_ = SelectObject(dc_, bitmap);
        }
    }
    ~MemoryDC() {
        if (dc_ != nullptr) {
            if (Ready()) {
                SelectObject(dc_, old_);
            }
            DeleteDC(dc_);
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    // False when the context could not be made or the bitmap not selected (it may be selected
    // elsewhere).
    bool Ready() const { return dc_ != nullptr && old_ != nullptr && old_ != HGDI_ERROR; }
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

// The client area's device context of a window, released when it goes.
class ClientDC {
  public:
    explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ClientDC() {
        if (dc_ != nullptr) {
            ReleaseDC(hwnd_, dc_);
        }
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;

    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// The painting context of a window for one WM_PAINT: BeginPaint when it is made, EndPaint when
// it goes, whatever BeginPaint returned.
class PaintDC {
  public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintDC() { EndPaint(hwnd_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_ = {};  // filled by BeginPaint before dc_ is set
    HDC dc_;
};
