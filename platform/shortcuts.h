#pragma once

// Shortcut files (shell links). Win32: the shell's link object through COM. Elsewhere there is no
// link format, and a shortcut cannot be made unless a test sets a writer of its own, which then
// sees every shortcut asked for, under its final file name.

#include <cstdint>
#include <string>

namespace platform {

struct ShortcutFields {
    std::string target;
    std::string arguments;
    std::string working_folder;
    std::string description;
    std::string icon;  // empty: no icon location is set
};

class ShortcutWriter {
  public:
    virtual ~ShortcutWriter() = default;
    // Saves a shortcut file; the result is an HRESULT (0 or above: success).
    virtual int32_t Save(const std::string& file_name, const ShortcutFields& fields) = 0;
};

// Makes `writer` the process-wide writer (null: the platform's own) and returns the one it
// replaces.
ShortcutWriter* SetShortcutWriter(ShortcutWriter* writer);

// The file a shortcut asked for as `link_path` is saved as: the path itself when a lower-cased
// copy of it holds ".lnk" anywhere, the path with ".lnk" appended otherwise.
std::string ShortcutFileName(const std::string& link_path);

// Makes a shortcut; the HRESULT of the save (or of the first step that failed).
int32_t CreateShortcut(const std::string& target, const std::string& link_path,
                       const std::string& arguments, const std::string& working_folder,
                       const std::string& description, const std::string& icon);

// The platform's own writer, used while no other is set.
ShortcutWriter& PlatformShortcutWriter();

}  // namespace platform
