#pragma once

// The uninstall's worker: removes the install folder on a thread of its own so the menu screen
// keeps painting, then tells its listener once.

#include <string>

#include "platform/dialogs.h"
#include "platform/progress.h"

class UninstallListener {
  public:
    virtual ~UninstallListener() = default;
    // On the uninstall thread: true when nothing was left behind.
    virtual void OnUninstallDone(bool nothing_left) = 0;
};

// Starts the removal of `install_folder`, advancing `progress` and asking through `dialogs` (both
// must live until the listener has been told), and returns at once; false when no thread could
// start.
bool StartUninstallThread(const std::string& install_folder, ProgressIndicator* progress,
                          platform::DialogHost* dialogs, UninstallListener* listener);

// Waits until the last removal started has ended, its listener told; at once when none runs.
// For a program about to end: the removal's thread may not outlive what it uses.
void AwaitUninstallEnd();
