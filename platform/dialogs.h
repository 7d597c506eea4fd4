#pragma once

// The questions the portable code puts to the user. It asks for a dialog by its resource id and
// gets back the result the dialog ended with: the id of the button pressed (IDOK 1, IDCANCEL 2)
// or a dialog's own result code. The installer sets a host that shows its real modal dialogs;
// tests set a scripted one; a tool sets one of its own. Hosts are called from worker threads.

namespace platform {

inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

class DialogHost {
  public:
    virtual ~DialogHost() = default;
    virtual int Show(int resource_id) = 0;
};

// Makes `host` the process-wide host (null: none) and returns the one it replaces.
DialogHost* SetDialogHost(DialogHost* host);

// Shows dialog `resource_id` through the host and returns its result; IDCANCEL without a host.
int ShowDialog(int resource_id);

}  // namespace platform
