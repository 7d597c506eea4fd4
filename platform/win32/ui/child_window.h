#pragma once

// A child window with a window procedure of its own. Create registers a window class under a
// name generated from the module and the class styles (no cursor, no background brush, no
// icon), creates the window with `this` as its creation parameter and recovers it on
// WM_NCCREATE; from then on every message goes to OnMessage, which a derived class overrides
// as its message map (one named handler per message); what it leaves unhandled goes to
// DefWindowProc. The window goes with the object at the latest.

#include <string>

#include "platform/win32/ui/wnd.h"

class CChildWindow : public CWnd {
  public:
    CChildWindow() = default;
    ~CChildWindow() override;

    // Creates the window on `parent` over `rect` (the parent's client coordinates) with no
    // extended style; false when it already exists, or the class cannot be registered, or the
    // window cannot be created.
    bool Create(UINT class_style, const char* title, DWORD style, const RECT& rect, HWND parent,
                UINT id = 0);
    // Destroys the window now, if it exists. The messages of its destruction get default
    // handling, so this is safe from a derived class's destructor.
    void DestroyWindow();

  private:
    // The name of the class of child windows with `class_style`, registered on first use; empty
    // when it cannot be registered.
    static std::string RegisterWindowClass(UINT class_style);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
};
