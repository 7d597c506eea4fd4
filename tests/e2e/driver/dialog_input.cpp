#include "tests/e2e/driver/dialog_input.h"

namespace e2e {

namespace {

// The window in `window`'s thread that holds the keyboard focus, if it belongs to `window`.
HWND FocusWithin(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus) {
        return window;
    }
    if (info.hwndFocus == window || IsChild(window, info.hwndFocus)) {
        return info.hwndFocus;
    }
    return window;
}

}  // namespace

HWND DialogItem(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

std::string ControlText(HWND control) {
    char text[512] = "";
    GetWindowTextA(control, text, sizeof(text));
    return text;
}

bool ClickButton(HWND button) {
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

bool PressKey(HWND window, UINT virtual_key) {
    if (!window) {
        return false;
    }
    HWND target = FocusWithin(window);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtual_key, 0)) << 16;
    const LPARAM down = 1 | scan;
    const LPARAM up = down | static_cast<LPARAM>(0xC0000000u);  // previous state, released
    // Under wine the thread's focus, as another process reads it, is now and then a window
    // already gone; the window itself then takes the key (a dialog handles its keys either way).
    if (!PostMessageA(target, WM_KEYDOWN, virtual_key, down)) {
        target = window;
        if (!PostMessageA(target, WM_KEYDOWN, virtual_key, down)) {
            return false;
        }
    }
    return PostMessageA(target, WM_KEYUP, virtual_key, up);
}

}  // namespace e2e
