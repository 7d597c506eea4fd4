#pragma once

#include <string>

#include "platform/win32/ui/wnd.h"

// Starts an uninstall from the menu screen: removes the registration and the shortcuts, shows
// the progress indicator (2,662 steps) on the menu screen and starts the removal of the install
// folder, which posts kRemovalEndedMessage to the menu screen when it has ended (wParam 1 when
// nothing was left behind). Returns at once.
bool StartUninstall(CWnd* menu_screen, const std::string& install_folder);
