#include "platform/arguments.h"

namespace platform {

namespace {

bool IsBlank(char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithPath(std::string_view line, std::string_view path) {
    if (path.empty() || line.size() < path.size()) {
        return false;
    }
    for (size_t i = 0; i < path.size(); ++i) {
        if (LowerAscii(line[i]) != LowerAscii(path[i])) {
            return false;
        }
    }
    return line.size() == path.size() || IsBlank(line[path.size()]);
}

// Where the program name ends.
size_t ProgramNameEnd(std::string_view line, std::string_view program_path) {
    if (!line.empty() && line[0] == '"') {
        const size_t quote = line.find('"', 1);
        return quote == std::string_view::npos ? line.size() : quote + 1;
    }
    if (StartsWithPath(line, program_path)) {
        return program_path.size();
    }
    size_t i = 0;
    while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ') {
        ++i;
    }
    return i;
}

}  // namespace

std::string_view ArgumentsOf(std::string_view command_line, std::string_view program_path) {
    size_t i = ProgramNameEnd(command_line, program_path);
    while (i < command_line.size() && IsBlank(command_line[i])) {
        ++i;
    }
    return command_line.substr(i);
}

}  // namespace platform
