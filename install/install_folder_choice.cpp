// The folder choice as a loop over three steps: browse, check the space, create the folder.
// "Another-drive mode" is set when the user asks for another drive in the disk space warning and
// cleared only by "Continue Installation"; while it is set, a cancelled browser is not a wish to
// leave but a wish to test the folder highlighted last.

#include "install/install_folder_choice.h"

#include "install/disk_space.h"
#include "install/folder_browser_rules.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "res/resource_ids.h"

namespace install {

namespace {

// Where the choice goes after a step.
enum class Step {
    kBrowse,   // a new browser, proposing the current path
    kCreate,   // create the game's folder
    kCreated,  // the folder is made: install
    kDone,     // the folder was there and the user chose to install over it
    kAbandon,  // the user gave up
};

// Shows the exit question; true when the user confirms leaving ("OK Exit").
bool ConfirmExit(platform::DialogHost* dialogs) {
    return platform::ShowDialog(dialogs, IDD_EXIT_INSTALL) == platform::kDialogOk;
}

// The free-space check of the folder picked, repeated for "Retry" and for a declined exit.
Step CheckSpace(const std::string& folder, platform::DialogHost* dialogs,
                const FreeSpaceQuery& free_space, bool* another_drive) {
    for (;;) {
        uint64_t bytes = 0;
        const bool known = free_space(folder, &bytes);
        if (HasRoomForInstall(known, bytes)) {
            return Step::kCreate;
        }
        switch (platform::AskDiskSpace(dialogs, kInstallSize, known ? bytes : 0, !known)) {
            case platform::kDiskSpaceContinue:
                *another_drive = false;
                return Step::kCreate;
            case platform::kDiskSpaceAnotherDrive:
                *another_drive = true;
                return Step::kBrowse;
            case platform::kDiskSpaceRetry:
                break;
            default:
                if (ConfirmExit(dialogs)) {
                    return Step::kAbandon;
                }
                break;
        }
    }
}

// Creates the game's folder. An existing folder may be installed over; anything else of that
// name (a file, a link) counts as a folder that cannot be created, so nothing is ever written
// through it.
Step CreateInstallFolder(const std::string& path, platform::DialogHost* dialogs) {
    const platform::FsError error = platform::CreateFolder(path);
    if (error == platform::FsError::kOk) {
        return Step::kCreated;
    }
    if (error == platform::FsError::kAlreadyExists &&
        platform::QueryPathKind(path) == platform::PathKind::kFolder) {
        return platform::ShowDialog(dialogs, IDD_OVERWRITE) == platform::kDialogOk ? Step::kDone
                                                                                   : Step::kBrowse;
    }
    return platform::ShowDialog(dialogs, IDD_CREATE_DIR_ERROR) == platform::kDialogOk
               ? Step::kBrowse
               : Step::kAbandon;
}

}  // namespace

bool ChooseInstallFolder(std::string* path, platform::DialogHost* dialogs,
                         const FreeSpaceQuery& free_space, bool* created) {
    *created = false;
    if (dialogs == nullptr) {
        return false;
    }
    bool another_drive = false;
    for (;;) {
        platform::FolderChoice choice;
        const int browsed = platform::BrowseForFolder(dialogs, *path, kGameSubfolder, &choice);
        *path = choice.install_path;
        if (browsed != platform::kDialogOk && !another_drive) {
            if (ConfirmExit(dialogs)) {
                return false;
            }
            continue;
        }
        Step step = CheckSpace(choice.selected_folder, dialogs, free_space, &another_drive);
        if (step == Step::kCreate) {
            step = CreateInstallFolder(*path, dialogs);
        }
        if (step != Step::kBrowse) {
            *created = step == Step::kCreated;
            return step == Step::kCreated || step == Step::kDone;
        }
    }
}

bool ChooseInstallFolder(std::string* path, platform::DialogHost* dialogs, bool* created) {
    return ChooseInstallFolder(path, dialogs, platform::GetFreeBytes, created);
}

}  // namespace install
