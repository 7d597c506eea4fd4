#pragma once

// What a failed copy of an installation undoes. Only a folder the installation itself created
// goes again, with everything the copy put there; a folder that was there before (installed over
// after "Overwrite"), like the registered folder of a reinstall, keeps every file it holds, and
// its saved games are never asked about.

#include <string>

#include "engine/extraction.h"

namespace install {

// The rollback to hand to the copy into `install_folder`; empty when nothing is to be undone.
ExtractionRollback RollbackOfFailedCopy(const std::string& install_folder, bool folder_created);

// A copy that could not even start: the folder just created for it, still empty, goes again.
void UndoUnstartedCopy(const std::string& install_folder, bool folder_created);

}  // namespace install
