#pragma once

// Every wait of the end-to-end driver has a limit, so that a test can fail but never hang.

#include <windows.h>

namespace e2e {

constexpr DWORD kDefaultTimeoutMs = 15000;  // a window to appear, a process to end
constexpr DWORD kPollIntervalMs = 20;       // how often a wait looks again

}  // namespace e2e
