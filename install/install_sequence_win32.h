#pragma once

#include <string>

#include "install/game_registry.h"
#include "platform/dialogs.h"
#include "platform/progress.h"
#include "platform/win32/ui/wnd.h"

// Starts an installation from the menu screen: the platform check, the choice and creation of
// the install folder (a first installation only: `install_folder` is replaced by the folder
// chosen), the progress indicator and the copy. Every question goes to `dialogs`, which, like
// the indicator, must live until kCopyEndedMessage. True: the copy is under way and
// kCopyEndedMessage will follow; false: nothing was started and the menu screen unlocks at once.
bool StartInstall(CWnd* menu_screen, std::string& install_folder,
                  game_registry::InstallState install_state, platform::DialogHost& dialogs,
                  const ShowProgress& show_progress);

// True on the Windows 95 family; otherwise says so (dialog 163) and returns false.
bool IsSupportedPlatform(platform::DialogHost& dialogs);
