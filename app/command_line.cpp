#include "app/command_line.h"

namespace app {

std::string GetProgramPath(std::string_view command_line, std::string_view marker) {
    const size_t marker_at = command_line.find(marker);
    const size_t length = (marker_at == std::string_view::npos) ? 3 : marker_at + 4;
    std::string_view path = command_line.substr(0, length);

    const size_t last_quote = command_line.rfind('"');
    if (last_quote != std::string_view::npos && last_quote > 0) {
        path = command_line.substr(0, last_quote);
        const size_t own_quote = path.rfind('"');
        if (own_quote != std::string_view::npos) {
            path = path.substr(own_quote + 1);
        }
    }
    return std::string(path);
}

RunMode RunModeOf(std::string_view arguments) {
    if (arguments == "/uninstall") {
        return RunMode::kUninstall;
    }
    if (arguments == "/uninstalling") {
        return RunMode::kUninstalling;
    }
    return RunMode::kMenu;
}

std::string FolderOfPath(std::string_view path) {
    const size_t slash = path.rfind('\\');
    if (slash != std::string_view::npos && slash > 0) {
        return std::string(path.substr(0, slash));
    }
    return std::string(path);
}

}  // namespace app
