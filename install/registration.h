#pragma once

// Registration of a finished copy: the game's registry values, its configuration file and
// saved-games folder, the Start-menu group with the game and uninstall shortcuts, the desktop
// shortcut the user may ask for at a first installation, and the entry in the system's list of
// programs to uninstall. Every step that fails is passed over: registration never stops half-way
// and never reports a failure.

#include <string>

#include "install/game_registry.h"
#include "platform/dialogs.h"

namespace install {

// Registers the game in `install_folder` when the copy's `result` is non-zero; true exactly then.
// A first installation asks `dialogs` the desktop question (no host: no desktop shortcut); a
// reinstall asks nothing. `language` (an index as game_registry numbers them) is the menu
// screen's current language, stored again in the game's key.
bool RegisterInstallation(const std::string& install_folder,
                          game_registry::InstallState install_state, int result, int language,
                          platform::DialogHost* dialogs);

}  // namespace install
