#pragma once

// Every wait of the end-to-end driver has a limit, so that a test can fail but never hang.

#include <windows.h>

namespace e2e {

constexpr DWORD kDefaultTimeoutMs = 15000;  // a window to appear, a process to end
constexpr DWORD kPollIntervalMs = 20;       // how often a wait looks again

// Waits until `condition()` holds, looking every kPollIntervalMs; false on timeout.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
        Sleep(kPollIntervalMs);
    }
    return true;
}

}  // namespace e2e
