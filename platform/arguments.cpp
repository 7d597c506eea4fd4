#include "platform/arguments.h"

namespace platform {

std::string_view ArgumentsOf(std::string_view command_line) {
    size_t i = 0;
    const size_t n = command_line.size();
    if (n > 0 && command_line[0] == '"') {
        i = command_line.find('"', 1);
        i = (i == std::string_view::npos) ? n : i + 1;
    } else {
        while (i<n&& static_cast<unsigned char>(command_line[i])> ' ') {
            ++i;
        }
    }
    while (i < n && command_line[i] != '\0' && static_cast<unsigned char>(command_line[i]) <= ' ') {
        ++i;
    }
    return command_line.substr(i);
}

}  // namespace platform
