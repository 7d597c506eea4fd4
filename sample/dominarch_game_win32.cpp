// The stand-in game that the sample payload carries as Dominarch.exe: a window titled
// "Dominarch". It notes each start in the temp folder ("DominarchStarted.txt": its current
// folder on the first line, its command line on the second) so a test can see what started it.

#include <windows.h>

#include <cstdio>

namespace {

constexpr char kClassName[] = "DominarchStandInGame";

void RecordStart() {
    char temp[MAX_PATH];
    char current[MAX_PATH];
    if (GetTempPathA(MAX_PATH, temp) == 0 || GetCurrentDirectoryA(MAX_PATH, current) == 0) {
        return;
    }
    char path[MAX_PATH + 32];
    std::snprintf(path, sizeof path, "%sDominarchStarted.txt", temp);
    if (FILE* file = std::fopen(path, "wb")) {
        std::fprintf(file, "%s\r\n%s\r\n", current, GetCommandLineA());
        std::fclose(file);
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(232, 190, 80));
            DrawTextA(dc, "Dominarch", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    RecordStart();
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    window_class.lpszClassName = kClassName;
    if (!RegisterClassA(&window_class)) {
        return 1;
    }
    HWND hwnd = CreateWindowA(kClassName, "Dominarch", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
