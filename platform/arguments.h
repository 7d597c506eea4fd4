#pragma once

#include <string_view>

namespace platform {

// The arguments part of a full Windows command line: what follows the program name and the
// blanks after it. A quoted program name ends at its closing quote. An unquoted one ends at the
// first blank, unless the line begins with the program's own path (`program_path`, compared
// without regard to case), blanks and all: "C:\Program Files\Dominarch\Setup.exe /uninstall"
// has the arguments "/uninstall".
std::string_view ArgumentsOf(std::string_view command_line, std::string_view program_path = {});

}  // namespace platform
