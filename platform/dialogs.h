#pragma once

// The questions the portable code puts to the user. It asks for a dialog by its resource id and
// gets back the result the dialog ended with: the id of the button pressed (IDOK 1, IDCANCEL 2)
// or a dialog's own result code. Two questions carry figures of their own: the folder browser
// and the disk space warning. Whoever starts the work hands it the host to ask: the installer's
// shows its real modal dialogs, a test's answers from a script, a tool has one of its own. Hosts
// are called from worker threads. Where no host is given (null) there is nobody to ask, and each
// question gets its cautious answer.

#include <cstdint>
#include <string>

namespace platform {

inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

// What the folder browser hands back, whatever its result.
struct FolderChoice {
    std::string selected_folder;  // chosen, or after a cancel the folder highlighted last
    std::string install_path;     // the selected folder with the game's subfolder appended
};

// The disk space warning's answers.
enum DiskSpaceAnswer {
    kDiskSpaceContinue = 1000,
    kDiskSpaceAnotherDrive = 1001,
    kDiskSpaceRetry = 1002,
    kDiskSpaceExit = 1003,
};

class DialogHost {
  public:
    virtual ~DialogHost() = default;
    virtual int Show(int resource_id) = 0;
    // The folder browser, opening on the folder that holds `initial_path`, which appends
    // `subfolder` to the folder picked. kDialogOk when a folder was chosen, kDialogCancel
    // otherwise. A host without one answers as a cancel that highlighted nothing.
    virtual int BrowseForFolder(const std::string& initial_path, const std::string& subfolder,
                                FolderChoice* choice);
    // The warning that the drive has too little free space (or that it cannot be told):
    // one of DiskSpaceAnswer. A host without one answers kDiskSpaceExit.
    virtual int AskDiskSpace(uint64_t required, uint64_t available, bool query_failed);
    // A message with one "OK" button whose text the caller gives; returns once it is read.
    // A host without one shows the dialog as Show does.
    virtual void ShowMessage(int resource_id, const std::string& text);
};

// Shows dialog `resource_id` through `host` and returns its result; IDCANCEL without a host.
int ShowDialog(DialogHost* host, int resource_id);
// The host's folder browser; kDialogCancel (and an empty choice) without a host.
int BrowseForFolder(DialogHost* host, const std::string& initial_path, const std::string& subfolder,
                    FolderChoice* choice);
// The host's disk space warning; kDiskSpaceExit without a host.
int AskDiskSpace(DialogHost* host, uint64_t required, uint64_t available, bool query_failed);
// The host's message `resource_id` with `text`; nothing without a host.
void ShowMessage(DialogHost* host, int resource_id, const std::string& text);

}  // namespace platform
