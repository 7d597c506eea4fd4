#pragma once

// The choice of the install folder at a first installation: the folder browser, the free-space
// check, and the creation of the game's folder, each with its questions, until the user has a
// folder to install into or gives up. Runs on the user-interface thread; every question goes
// to the dialog host it is given.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/dialogs.h"

namespace install {

// The folder proposed at a first installation.
inline constexpr char kProposedFolder[] = "C:\\Program Files";

// Asks how many bytes are free where `folder` is; false when that cannot be told.
using FreeSpaceQuery = std::function<bool(const std::string& folder, uint64_t* bytes)>;

// `path` in: the folder to propose; out: the install folder, which then exists. True: go on with
// the copy, and *created tells whether this choice made the folder (false: the user chose to
// install over a folder that was there); false: the user abandoned the installation (nothing was
// created). Without a dialog host there is nobody to ask and the installation is abandoned.
bool ChooseInstallFolder(std::string* path, platform::DialogHost* dialogs,
                         const FreeSpaceQuery& free_space, bool* created);
// The same over the platform's free space.
bool ChooseInstallFolder(std::string* path, platform::DialogHost* dialogs, bool* created);

}  // namespace install
