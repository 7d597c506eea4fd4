#pragma once

#include "platform/dialogs.h"
#include "platform/win32/ui/wnd.h"

// The installer's answerer of the portable code's questions: each is shown as its dialog class,
// modally, on the thread that asks (the user-interface thread, the pipeline's writer, the
// uninstall thread). The menu screen holds it and owns every one of them, and they are centred
// on it, so the menu screen takes no clicks under an open question.
class CInstallerDialogHost : public platform::DialogHost {
  public:
    explicit CInstallerDialogHost(CWnd* owner) : owner_(owner) {}

    int Show(int resource_id) override;
    int BrowseForFolder(const std::string& initial_path, const std::string& subfolder,
                        platform::FolderChoice* choice) override;
    int AskDiskSpace(uint64_t required, uint64_t available, bool query_failed) override;
    void ShowMessage(int resource_id, const std::string& text) override;

  private:
    template <typename Dialog>
    int ShowModal();

    CWnd* owner_;
};
