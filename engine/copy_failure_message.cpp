#include "engine/copy_failure_message.h"

#include "platform/files.h"

const char kNoPayloadMessage[] =
    "This copy of Setup.exe holds no game files.\n\n"
    "To install the game, run the original Setup.exe, the one the game came with.";

namespace {

// The entry's path below the install folder ('/' between names) as a full path of this host.
std::string FullPathOf(const std::string& install_folder, const std::string& entry) {
    std::string path = install_folder;
    size_t start = 0;
    while (start < entry.size()) {
        size_t end = entry.find('/', start);
        if (end == std::string::npos) {
            end = entry.size();
        }
        path = platform::JoinPath(path, entry.substr(start, end - start));
        start = end + 1;
    }
    return path;
}

}  // namespace

std::string CopyFailureMessage(const std::string& install_folder,
                               const ExtractionFailure& failure) {
    if (failure.kind == ExtractionFailureKind::kNoPayload) {
        return kNoPayloadMessage;
    }
    std::string reason = failure.reason.empty() ? "it failed" : failure.reason;
    if (reason[0] >= 'a' && reason[0] <= 'z') {
        reason[0] = static_cast<char>(reason[0] - 'a' + 'A');
    }
    return "Setup could not copy the game.\n\n" + FullPathOf(install_folder, failure.entry) + "\n" +
           reason + ".";
}
