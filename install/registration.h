#pragma once

// Registration of a finished copy: the game's registry values, its configuration file and
// saved-games folder, the Start-menu group with the game and uninstall shortcuts, the desktop
// shortcut the user may ask for at a first installation, and the entry in the system's list of
// programs to uninstall. Every step that fails is passed over: registration never stops half-way
// and never reports a failure.

#include <functional>
#include <string>

#include "install/game_registry.h"

namespace install {

// Registers the game in `install_folder` when the copy's `result` is non-zero; true exactly then.
// A reinstall asks no desktop question. `set_language` stores the menu screen's
// current language in the game's key (and reloads its texts).
bool RegisterInstallation(const std::string& install_folder,
                          game_registry::InstallState install_state, int result,
                          const std::function<void()>& set_language);

}  // namespace install
