#include "install/install_sequence_win32.h"

// The install sequence (platform check, folder browser, disk space check, folder creation) is
// not built yet: nothing is started, so the menu screen unlocks at once.
bool StartInstall(CWnd*, std::string&, uint8_t) {
    return false;
}
