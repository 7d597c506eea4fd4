// Removing an install folder. A tree walker delivers the game's files and folders one at a time;
// each file is deleted as it comes and each folder at its leave marker, so the tree empties
// bottom-up. Folders named "save" are kept with everything in them (a "data/save" folder is game
// data and goes), and only the saved-games folder right under the install folder is offered for
// deletion afterwards. Every path touched must contain "Dominarch" + separator, so a wrongly set
// install folder, one that is not a game folder, is never emptied; and the install folder itself
// must be named "Dominarch" (as every installation makes it), so that a folder that merely lies
// somewhere below one (a user named Dominarch, say) is never emptied either. Each deletion of the
// game walk takes one progress step, refused ones included.

#include "uninstall/install_folder_removal.h"

#include "platform/files.h"
#include "res/resource_ids.h"
#include "uninstall/tree_walker.h"

namespace {

using platform::FsError;
using platform::kPathSeparator;

const std::string kSaveFolderName = "save";
const std::string kLeaveMarker = "..";

bool IsInsideGameFolder(const std::string& path) {
    static const std::string guard = std::string("Dominarch") + kPathSeparator;
    return path.find(guard) != std::string::npos;
}

// The folder's own name is "Dominarch", whether or not it ends in a separator.
bool IsGameFolder(const std::string& folder) {
    static const std::string name = "Dominarch";
    std::string trimmed = folder;
    while (!trimmed.empty() && trimmed.back() == kPathSeparator) {
        trimmed.pop_back();
    }
    return trimmed.size() > name.size() &&
           trimmed.compare(trimmed.size() - name.size(), name.size(), name) == 0 &&
           trimmed[trimmed.size() - name.size() - 1] == kPathSeparator;
}

// A folder named "data/save" holds game data, not saved games.
bool IsDataSaveFolder(const std::string& path) {
    static const std::string suffix =
        std::string(1, kPathSeparator) + "data" + kPathSeparator + kSaveFolderName;
    return path.size() >= suffix.size() &&
           path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void TakeProgressStep(ProgressIndicator* progress) {
    if (progress != nullptr) {
        progress->Advance(1);
    }
}

uint32_t RefusalsOf(FsError error) {
    return error == FsError::kOk ? 0 : 1;
}

// Walks the saved-games folder after the player agreed, deleting everything in it; no progress.
uint32_t DeleteSavedGames(const std::string& saves) {
    uint32_t failures = 0;
    CTreeWalker walker(saves);
    std::string name;
    std::string path;
    uint8_t is_folder = 0;
    while (walker.GetNext(&name, &path, &is_folder)) {
        if (!IsInsideGameFolder(path)) {
            break;
        }
        if (!is_folder) {
            failures += RefusalsOf(platform::RemoveFile(path));
        } else if (name == kLeaveMarker) {
            failures += RefusalsOf(platform::RemoveFolder(path));
        }
    }
    return failures;
}

// The folder and then its parent (the install folder); the number refused.
uint32_t RemoveFolderAndParent(const std::string& folder, const std::string& parent) {
    return RefusalsOf(platform::RemoveFolder(folder)) + RefusalsOf(platform::RemoveFolder(parent));
}

// A folder itself, not a link to one: only such a folder is ever walked.
bool IsRealFolder(const std::string& path) {
    return platform::QueryPathKind(path) == platform::PathKind::kFolder;
}

}  // namespace

uint32_t DeleteGameFiles(const std::string& folder, ProgressIndicator* progress) {
    if (!IsGameFolder(folder) || !IsRealFolder(folder)) {
        return 0;  // not a game folder, or a link to one: nothing in it is touched
    }
    platform::SetCurrentFolder(platform::JoinPath(folder, ".."));  // so folder can go later
    CTreeWalker walker(folder);
    std::string kept_folder;  // the save folder being walked through untouched; empty: none
    uint32_t failures = 0;
    std::string name;
    std::string path;
    uint8_t is_folder = 0;
    while (walker.GetNext(&name, &path, &is_folder)) {
        if (!IsInsideGameFolder(path)) {
            break;
        }
        if (!kept_folder.empty()) {
            if (is_folder && name == kLeaveMarker && path == kept_folder) {
                kept_folder.clear();
            }
            continue;
        }
        if (!is_folder) {
            failures += RefusalsOf(platform::RemoveFile(path));
            TakeProgressStep(progress);
        } else if (name == kLeaveMarker) {
            failures += RefusalsOf(platform::RemoveFolder(path));
            TakeProgressStep(progress);
        } else if (name == kSaveFolderName && !IsDataSaveFolder(path)) {
            kept_folder = path;
        }
    }
    return failures;
}

bool RemoveInstallFolder(const std::string& folder, ProgressIndicator* progress,
                         platform::DialogHost* dialogs) {
    const std::string saves = platform::JoinPath(folder, kSaveFolderName);
    uint32_t failures = DeleteGameFiles(folder, progress);
    if (!IsGameFolder(folder) || !IsRealFolder(folder) || !IsInsideGameFolder(saves)) {
        return false;  // not a game folder, or a link to one: it stays, untouched
    }
    switch (platform::RemoveFolder(saves)) {
        case FsError::kOk:
        case FsError::kPathNotFound:
            failures += RefusalsOf(platform::RemoveFolder(folder));
            return failures == 0;
        case FsError::kAccessDenied:
        case FsError::kDirNotEmpty:
            break;
        default:
            return false;  // the saved-games folder could not be judged: the folder stays
    }
    if (!IsRealFolder(saves)) {
        return false;  // a link in its place: never walked, and it stays with its folder
    }
    if (dialogs == nullptr || dialogs->Show(IDD_DELETE_SAVES) != platform::kDialogOk) {
        return failures == 0;  // the install folder stays, holding only its saved games
    }
    failures += DeleteSavedGames(saves);
    failures += RemoveFolderAndParent(saves, folder);
    return failures == 0;
}
