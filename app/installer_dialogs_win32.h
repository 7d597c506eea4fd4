#pragma once

#include "platform/dialogs.h"

// The installer's answerer of the portable code's questions: each is shown as its dialog class,
// modally, on the thread that asks (the user-interface thread, the pipeline's writer, the
// uninstall thread). While the menu screen is up it owns every one of them and they are centred
// on it, so the menu screen takes no clicks under an open question.
class CInstallerDialogHost : public platform::DialogHost {
  public:
    int Show(int resource_id) override;
    int BrowseForFolder(const std::string& initial_path, const std::string& subfolder,
                        platform::FolderChoice* choice) override;
    int AskDiskSpace(uint64_t required, uint64_t available, bool query_failed) override;
    void ShowMessage(int resource_id, const std::string& text) override;
};
