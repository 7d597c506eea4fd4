#pragma once

// Reads a shortcut file back through the shell's own link object, as the shell does when the
// user opens it.

#include <string>

namespace e2e {

struct ShortcutRead {
    std::string target;
    std::string arguments;
    std::string working_folder;
    std::string description;
    std::string icon;  // empty when none is set
    int icon_index = 0;
};

// False when the file cannot be loaded as a shortcut.
bool ReadShortcut(const std::string& path, ShortcutRead* shortcut);

}  // namespace e2e
