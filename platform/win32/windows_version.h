#pragma once

// What GetVersionExA reports, asked with a zeroed 148-byte record (the ANSI form without the
// service-pack fields, which every Windows since 95 accepts).

#include <windows.h>

namespace platform {

// False when the call failed; `version` is then all zeros.
bool GetWindowsVersion(OSVERSIONINFOA* version);

// The Windows 95 family reports platform id 1; the NT family 2.
inline bool IsWindows95Family(const OSVERSIONINFOA& version) {
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

}  // namespace platform
