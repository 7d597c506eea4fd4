#include "platform/win32/windows_version.h"

namespace platform {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the record GetVersionExA is asked with");

bool GetWindowsVersion(OSVERSIONINFOA* version) {
    ZeroMemory(version, sizeof *version);
    version->dwOSVersionInfoSize = sizeof *version;
    if (GetVersionExA(version)) {
        return true;
    }
    ZeroMemory(version, sizeof *version);
    return false;
}

}  // namespace platform
