#pragma once

#include <string_view>

namespace platform {

// The arguments part of a full Windows command line: what follows the program name (quoted or
// not) and the blanks after it.
std::string_view ArgumentsOf(std::string_view command_line);

}  // namespace platform
