#pragma once

// A window object around an HWND it does not own by default.

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
};
