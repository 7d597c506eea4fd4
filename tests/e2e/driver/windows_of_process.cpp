#include "tests/e2e/driver/windows_of_process.h"

#include <algorithm>

#include "tests/e2e/driver/timeouts.h"

namespace e2e {

namespace {

struct Search {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid && IsWindowVisible(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

bool HasEnded(HANDLE process) {
    return process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

}  // namespace

std::vector<HWND> VisibleTopLevelWindows(DWORD pid) {
    Search search{pid, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowTitle(HWND window) {
    char title[512] = "";
    GetWindowTextA(window, title, sizeof(title));
    return title;
}

std::string WindowClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

HWND WaitForWindow(DWORD pid, const std::string& title, DWORD timeout_ms, HANDLE process) {
    const DWORD start = GetTickCount();
    for (;;) {
        for (HWND window : VisibleTopLevelWindows(pid)) {
            if (WindowTitle(window) == title) {
                return window;
            }
        }
        if (HasEnded(process) || GetTickCount() - start >= timeout_ms) {
            return nullptr;
        }
        Sleep(kPollIntervalMs);
    }
}

bool WaitForWindowGone(HWND window, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
        Sleep(kPollIntervalMs);
    }
    return true;
}

bool WaitForWindowVisible(HWND window, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (!IsWindowVisible(window)) {
        if (!IsWindow(window) || GetTickCount() - start >= timeout_ms) {
            return false;
        }
        Sleep(kPollIntervalMs);
    }
    return true;
}

bool WatchWindowsUntilExit(HANDLE process, DWORD pid, DWORD timeout_ms,
                           std::vector<std::string>* titles_seen) {
    const DWORD start = GetTickCount();
    for (;;) {
        for (HWND window : VisibleTopLevelWindows(pid)) {
            std::string title = WindowTitle(window);
            if (std::find(titles_seen->begin(), titles_seen->end(), title) == titles_seen->end()) {
                titles_seen->push_back(title);
            }
        }
        if (WaitForSingleObject(process, kPollIntervalMs / 4) == WAIT_OBJECT_0) {
            return true;
        }
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
    }
}

}  // namespace e2e
