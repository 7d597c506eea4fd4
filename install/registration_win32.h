#pragma once

#include <functional>
#include <string>

#include "install/game_registry.h"

// Registers a finished copy (registry values, configuration file, saved-games folder, shortcuts,
// uninstall entry) when `result` is non-zero, and destroys the progress indicator in every case.
// `set_language` stores the menu screen's current language again. True exactly when the result
// was non-zero.
bool RegisterInstallation(const std::string& install_folder,
                          game_registry::InstallState install_state, int result,
                          const std::function<void()>& set_language);
