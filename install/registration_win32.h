#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/ui/wnd.h"

// Registers a finished copy (registry values, configuration file, saved-games folder, shortcuts,
// uninstall entry) when `result` is non-zero, and destroys the progress indicator in every case.
// True exactly when the result was non-zero.
bool RegisterInstallation(CWnd* menu_screen, const std::string& install_folder,
                          uint8_t install_state, int result);
