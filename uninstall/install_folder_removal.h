#pragma once

// Emptying and removing an install folder while keeping the player's saved games unless the
// player agrees to delete them. Used by the uninstall and to roll back a failed first install.

#include <cstdint>
#include <string>

#include "platform/dialogs.h"
#include "platform/progress.h"

// Removes the game's files and folders below `folder`, then the saved games if the player agrees
// (asked through `dialogs`), then `folder` itself; each deletion of the game's files advances
// `progress` (when given) by one. True when nothing the platform refused was counted.
bool RemoveInstallFolder(const std::string& folder, ProgressIndicator* progress,
                         platform::DialogHost* dialogs);

// Deletes everything below `folder` but the saved-games folders; the number of refused deletions.
uint32_t DeleteGameFiles(const std::string& folder, ProgressIndicator* progress);
