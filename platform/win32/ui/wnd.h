#pragma once

// A window object around an HWND it does not own by default. A class that runs its window's
// procedure (a dialog, a child window) hands it its messages through OnMessage, so a message
// handler reads the same in each.

#include <windows.h>

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
    LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
        return ::SendMessageA(m_hWnd, message, wparam, lparam);
    }
    BOOL PostMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
        return ::PostMessageA(m_hWnd, message, wparam, lparam);
    }

    HWND m_hWnd = nullptr;

  protected:
    // The window's message map: handles a message and returns true, with its result in *result
    // (0 unless it sets another), or returns false and leaves the message to the default
    // handling (the dialog manager's in a dialog, DefWindowProc in a child window).
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }
};
