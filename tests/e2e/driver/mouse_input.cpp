#include "tests/e2e/driver/mouse_input.h"

namespace e2e {

namespace {

constexpr DWORD kCursorTimeoutMs = 5000;
constexpr DWORD kCursorPollMs = 10;

// Absolute input runs from 0 to 65535 over the screen; the system maps a value back to pixel
// floor(value * size / 65536), so the smallest value that lands on `pixel` is rounded up.
LONG Normalised(LONG pixel, int screen_size) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screen_size - 1) /
                             screen_size);
}

bool SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    return SendInput(1, &input, sizeof(input)) == 1;
}

}  // namespace

bool MoveMouseTo(POINT point) {
    const LONG dx = Normalised(point.x, GetSystemMetrics(SM_CXSCREEN));
    const LONG dy = Normalised(point.y, GetSystemMetrics(SM_CYSCREEN));
    if (!SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy)) {
        return false;
    }
    // Under wine the cursor follows the injected input asynchronously (through the X server),
    // later still on a busy machine: wait for it to arrive.
    for (DWORD waited = 0; waited <= kCursorTimeoutMs; waited += kCursorPollMs) {
        POINT cursor = {};
        if (GetCursorPos(&cursor) && cursor.x == point.x && cursor.y == point.y) {
            return true;
        }
        Sleep(kCursorPollMs);
    }
    return false;
}

bool PressLeftButton() {
    return SendMouse(MOUSEEVENTF_LEFTDOWN);
}

bool ReleaseLeftButton() {
    return SendMouse(MOUSEEVENTF_LEFTUP);
}

bool ClickAt(POINT point) {
    return MoveMouseTo(point) && PressLeftButton() && ReleaseLeftButton();
}

}  // namespace e2e
