#pragma once

// Driving a dialog as a user would: its buttons and its keys, delivered the way Windows delivers
// them, so that the program's own dialog handling (IsDialogMessage, default button) is exercised.

#include <windows.h>

#include <string>

namespace e2e {

// The control with id `id` in `dialog`, or nullptr.
HWND DialogItem(HWND dialog, int id);

std::string ControlText(HWND control);

// Clicks a push button: BM_CLICK, posted, so the button runs its own press and release and
// notifies its parent with BN_CLICKED.
bool ClickButton(HWND button);

// Posts a key press and release (WM_KEYDOWN, WM_KEYUP with scan code and transition bits) to
// the window that has the keyboard focus in `window`'s thread, or to `window` itself when the
// focus is elsewhere.
bool PressKey(HWND window, UINT virtual_key);

inline bool PressEscape(HWND window) {
    return PressKey(window, VK_ESCAPE);
}
inline bool PressEnter(HWND window) {
    return PressKey(window, VK_RETURN);
}

}  // namespace e2e
