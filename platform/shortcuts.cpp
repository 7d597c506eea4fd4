#include "platform/shortcuts.h"

#include <algorithm>
#include <atomic>
#include <cctype>

namespace platform {

namespace {
std::atomic<ShortcutWriter*> g_writer{nullptr};
}

ShortcutWriter* SetShortcutWriter(ShortcutWriter* writer) {
    return g_writer.exchange(writer);
}

std::string ShortcutFileName(const std::string& link_path) {
    std::string lowered = link_path;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered.find(".lnk") != std::string::npos ? link_path : link_path + ".lnk";
}

int32_t CreateShortcut(const std::string& target, const std::string& link_path,
                       const std::string& arguments, const std::string& working_folder,
                       const std::string& description, const std::string& icon) {
    ShortcutWriter* writer = g_writer.load();
    if (writer == nullptr) {
        writer = &PlatformShortcutWriter();
    }
    return writer->Save(ShortcutFileName(link_path),
                        {target, arguments, working_folder, description, icon});
}

}  // namespace platform
