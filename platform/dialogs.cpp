#include "platform/dialogs.h"

namespace platform {

int DialogHost::BrowseForFolder(const std::string&, const std::string&, FolderChoice*) {
    return kDialogCancel;
}

int DialogHost::AskDiskSpace(uint64_t, uint64_t, bool) {
    return kDiskSpaceExit;
}

void DialogHost::ShowMessage(int resource_id, const std::string&) {
    Show(resource_id);
}

int ShowDialog(DialogHost* host, int resource_id) {
    return host != nullptr ? host->Show(resource_id) : kDialogCancel;
}

int BrowseForFolder(DialogHost* host, const std::string& initial_path, const std::string& subfolder,
                    FolderChoice* choice) {
    return host != nullptr ? host->BrowseForFolder(initial_path, subfolder, choice) : kDialogCancel;
}

int AskDiskSpace(DialogHost* host, uint64_t required, uint64_t available, bool query_failed) {
    return host != nullptr ? host->AskDiskSpace(required, available, query_failed) : kDiskSpaceExit;
}

void ShowMessage(DialogHost* host, int resource_id, const std::string& text) {
    if (host != nullptr) {
        host->ShowMessage(resource_id, text);
    }
}

}  // namespace platform
