#include "uninstall/tree_walk.h"

#include "platform/files.h"

namespace {

constexpr uint8_t kFileItem = 0;
constexpr uint8_t kFolderItem = 1;
const std::string kLeaveMarker = "..";

bool IsSelfOrParent(const std::string& name) {
    return name == "." || name == "..";
}

// One level of the walk; its lister is closed on every way out, before the caller delivers the
// leave marker of this folder.
bool WalkFolder(const std::string& folder, WalkSink& sink) {
    platform::FolderLister lister;
    if (!lister.Open(folder)) {
        return true;
    }
    platform::FolderEntry entry;
    while (lister.Next(&entry)) {
        if (IsSelfOrParent(entry.name)) {
            continue;
        }
        const std::string path = platform::JoinPath(folder, entry.name);
        if (!entry.is_folder) {
            if (!sink.Deliver(entry.name, path, kFileItem)) {
                return false;
            }
            continue;
        }
        if (!sink.Deliver(entry.name, path, kFolderItem)) {
            return false;
        }
        // Its kind is asked again just before the descent: the consumer has acted since the
        // folder was listed, and a link put in its place is never entered.
        if (!entry.is_link && platform::QueryPathKind(path) == platform::PathKind::kFolder &&
            !WalkFolder(path, sink)) {
            return false;
        }
        if (!sink.Deliver(kLeaveMarker, path, kFolderItem)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool WalkTree(const std::string& root, WalkSink& sink) {
    return WalkFolder(root, sink);
}
