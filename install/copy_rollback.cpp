#include "install/copy_rollback.h"

#include "platform/files.h"
#include "uninstall/install_folder_removal.h"

namespace install {

ExtractionRollback RollbackOfFailedCopy(const std::string& install_folder, bool folder_created) {
    if (!folder_created) {
        return {};
    }
    return [install_folder](ProgressIndicator* progress, platform::DialogHost* dialogs) {
        RemoveInstallFolder(install_folder, progress, dialogs);
    };
}

void UndoUnstartedCopy(const std::string& install_folder, bool folder_created) {
    if (folder_created) {
        platform::RemoveFolder(install_folder);
    }
}

}  // namespace install
