// window_snapshot.exe TITLE OUT.bmp [--escape]: waits (up to 60 s) for a visible top-level
// window titled TITLE, brings it to the front, saves what it shows as a 24-bit BMP and, with
// --escape, then presses Escape in it. Exit status 0 on success, 1 when no window came, 2 on
// usage errors. The run script uses it to show the menu screen where there is no display.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/screenshot.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "--escape") != 0)) {
        std::fprintf(stderr, "usage: window_snapshot.exe TITLE OUT.bmp [--escape]\n");
        return 2;
    }
    HWND window = nullptr;
    for (int waited = 0; waited < 60000 && window == nullptr; waited += 100) {
        window = FindWindowA(nullptr, argv[1]);
        if (window != nullptr && !IsWindowVisible(window)) {
            window = nullptr;
        }
        if (window == nullptr) {
            Sleep(100);
        }
    }
    if (window == nullptr) {
        std::fprintf(stderr, "no window titled \"%s\" appeared\n", argv[1]);
        return 1;
    }
    SetForegroundWindow(window);
    Sleep(1000);  // let it finish painting
    const bool saved = e2e::CaptureWindowToBmp(window, argv[2]);
    if (argc == 4) {
        e2e::PressEscape(window);
    }
    return saved ? 0 : 1;
}
