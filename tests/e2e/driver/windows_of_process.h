#pragma once

// Finding the top-level windows a process shows.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The visible top-level windows of process `pid`, in z-order.
std::vector<HWND> VisibleTopLevelWindows(DWORD pid);

std::string WindowTitle(HWND window);
std::string WindowClassName(HWND window);

// Waits until process `pid` shows a visible top-level window titled exactly `title` and returns
// it; nullptr on timeout, or as soon as `process` (when given) has ended.
HWND WaitForWindow(DWORD pid, const std::string& title, DWORD timeout_ms, HANDLE process = nullptr);

// Waits until `window` is destroyed or hidden; false on timeout.
bool WaitForWindowGone(HWND window, DWORD timeout_ms);

// Waits until `window` is visible; false on timeout or when it is destroyed.
bool WaitForWindowVisible(HWND window, DWORD timeout_ms);

// Watches process `process` until it ends or `timeout_ms` passes, and collects the title of
// every visible top-level window it shows meanwhile. True when it ended in time.
bool WatchWindowsUntilExit(HANDLE process, DWORD pid, DWORD timeout_ms,
                           std::vector<std::string>* titles_seen);

}  // namespace e2e
