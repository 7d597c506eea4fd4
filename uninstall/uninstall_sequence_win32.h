#pragma once

#include <string>

#include "platform/dialogs.h"
#include "platform/progress.h"
#include "platform/win32/ui/wnd.h"

// Starts an uninstall from the menu screen: removes the registration and the shortcuts, shows
// the progress indicator (2,662 steps) and starts the removal of the install folder, which posts
// kRemovalEndedMessage to the menu screen when it has ended (wParam 1 when nothing was left
// behind). The saved-games question goes to `dialogs`, which must live until then. Returns at
// once.
bool StartUninstall(CWnd* menu_screen, const std::string& install_folder,
                    platform::DialogHost& dialogs, const ShowProgress& show_progress);
