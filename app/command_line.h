#pragma once

// The command-line rules of start-up. They follow the Windows conventions on every host and are
// tested with Windows examples.

#include <string>
#include <string_view>

namespace app {

// The program file's path taken out of the full command line. `marker` is ".exe " for the
// uninstall hand-over and ".exe" for the menu screen. The path runs to 4 characters past the
// marker (the first three characters when the marker is absent); a double quote after the start
// of the line then cuts the path there and keeps only what follows its own last double quote, so
// a quoted path and the same path unquoted give the same result.
std::string GetProgramPath(std::string_view command_line, std::string_view marker);

enum class RunMode {
    kMenu,          // no arguments, or any others: the menu screen
    kUninstall,     // "/uninstall": confirm, then hand over to a temporary copy
    kUninstalling,  // "/uninstalling": the temporary copy, which uninstalls at once
};

// Arguments are compared whole, byte for byte and case-sensitively.
RunMode RunModeOf(std::string_view arguments);

// The folder part of a program path: cut at its last backslash when that stands after the first
// character; otherwise the path unchanged.
std::string FolderOfPath(std::string_view path);

}  // namespace app
