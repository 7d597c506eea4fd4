#include "install/registration_win32.h"

#include "engine/current_progress_win32.h"
#include "install/registration.h"

bool RegisterInstallation(const std::string& install_folder,
                          game_registry::InstallState install_state, int result,
                          const std::function<void()>& set_language) {
    const bool registered =
        install::RegisterInstallation(install_folder, install_state, result, set_language);
    DestroyProgressIndicator();
    return registered;
}
