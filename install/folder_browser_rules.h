#pragma once

// The string rules of the folder browser, in Windows form on every host ('\' separators, drive
// roots such as C:\ keep their backslash): where the browser opens, what its status line says,
// and the install path made from the folder picked.

#include <string>

namespace install {

// The game always lands in a folder of this name below the folder the user picks.
inline constexpr char kGameSubfolder[] = "Dominarch";

// The folder a browser proposing `path` opens on: `path` cut before the last case-sensitive
// occurrence of `subfolder` (with the backslash in front of it, unless that is a drive root's);
// the whole path when it holds no occurrence or `subfolder` is shorter than 2 characters.
std::string InitialFolderOf(const std::string& path, const std::string& subfolder);

// The status line for a highlighted folder: the folder, a backslash, the subfolder and a
// backslash, cut to 45 characters followed by "..." when longer; shown unchanged when the
// folder has fewer than 3 characters.
std::string StatusTextOf(const std::string& folder, const std::string& subfolder);

// The selected folder with a backslash (unless it ends in one) and the subfolder appended; a
// folder of fewer than 3 characters is returned unchanged.
std::string InstallPathOf(const std::string& selected_folder, const std::string& subfolder);

}  // namespace install
