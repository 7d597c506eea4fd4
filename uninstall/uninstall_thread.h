#pragma once

// The uninstall's worker: removes the install folder on a thread of its own so the menu screen
// keeps painting, then tells its listener once.

#include <string>

class UninstallListener {
  public:
    virtual ~UninstallListener() = default;
    // On the uninstall thread: true when nothing was left behind.
    virtual void OnUninstallDone(bool nothing_left) = 0;
};

// Starts the removal of `install_folder` and returns at once; false when no thread could start.
bool StartUninstallThread(const std::string& install_folder, UninstallListener* listener);

// Waits until the last removal started has ended, its listener told; at once when none runs.
// For a program about to end: the removal's thread may not outlive what it uses.
void AwaitUninstallEnd();
