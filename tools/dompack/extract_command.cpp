// dompack extract: unpacks a pack (or a Setup.exe's PACK 131) into a folder through the installer's
// own pipeline. The request names the pack's bytes as the payload and the folder as the install
// folder; a bar on the terminal stands for the indicator and the installer's questions get fixed
// answers: a full disk ends the extraction, saved games are kept.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/extraction.h"
#include "install/copy_rollback.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "res/resource_ids.h"
#include "tools/dompack/commands.h"
#include "tools/dompack/pack_source.h"
#include "tools/dompack/terminal_progress.h"
#include "tools/dompack/waiting_listener.h"

namespace {

class ExtractDialogs : public platform::DialogHost {
  public:
    explicit ExtractDialogs(TerminalProgress& progress) : progress_(progress) {}

    int Show(int resource_id) override {
        if (resource_id == IDD_DISK_FULL) {
            progress_.EndLine();
            std::fputs("dompack extract: disk full or too many folder entries\n", stderr);
        } else if (resource_id == IDD_DAMAGED_PAYLOAD) {
            progress_.EndLine();
            std::fputs("dompack extract: the pack is damaged\n", stderr);
        }
        // "Exit from Setup" for a full disk, "NO Way" for the saved games: nothing to retry on,
        // and nothing deleted that was not extracted.
        return platform::kDialogCancel;
    }

  private:
    TerminalProgress& progress_;
};

// The current folder's view of `dir` as a full path without trailing separators: the pipeline
// moves the current folder, so a relative path would not name the same folder for long.
bool FullPath(const std::string& dir, std::string* full) {
    std::string path = dir;
    if (path.empty() || path[0] != platform::kPathSeparator) {
        std::string current;
        if (!platform::GetCurrentFolder(&current)) {
            return false;
        }
        path = platform::JoinPath(current, path);
    }
    while (path.size() > 1 && path.back() == platform::kPathSeparator) {
        path.pop_back();
    }
    *full = path;
    return true;
}

// Makes sure `folder` is a folder; creating it makes the run a first installation.
bool PrepareFolder(const std::string& folder, bool* created, std::string* error) {
    switch (platform::QueryPathKind(folder)) {
        case platform::PathKind::kFolder:
        case platform::PathKind::kLink:  // named by the user: followed, as the user meant
            *created = false;
            return true;
        case platform::PathKind::kFile:
        case platform::PathKind::kSpecial:
            *error = "not a folder";
            return false;
        case platform::PathKind::kMissing:
            break;
    }
    if (platform::CreateFolder(folder) != platform::FsError::kOk) {
        *error = std::string("cannot create the folder: ") + std::strerror(errno);
        return false;
    }
    *created = true;
    return true;
}

int Extract(const PackSource& pack, const std::string& file, const std::string& folder,
            bool first_installation) {
    TerminalProgress progress(stderr);
    ExtractDialogs dialogs(progress);
    WaitingListener listener;
    ExtractionRequest request;
    request.payload = pack.data();
    request.payload_size = pack.size();
    request.install_folder = folder;
    request.progress = &progress;
    request.dialogs = &dialogs;
    request.listener = &listener;
    request.rollback = install::RollbackOfFailedCopy(folder, first_installation);
    int result = 0;
    ExtractionFailure failure{ExtractionFailureKind::kError, "",
                              "the extraction could not be started"};
    if (StartExtraction(std::move(request))) {
        result = listener.Wait(&failure);
    }
    progress.EndLine();
    if (result == 1) {
        return kExitOk;
    }
    std::fprintf(stderr, "dompack extract: %s: %s%s%s\n", file.c_str(), failure.entry.c_str(),
                 failure.entry.empty() ? "" : ": ", failure.reason.c_str());
    if (first_installation && platform::QueryPathKind(folder) != platform::PathKind::kMissing) {
        std::string name = folder;
        while (name.size() > 1 && name.back() == '/') {
            name.pop_back();
        }
        name = name.substr(name.find_last_of('/') + 1);
        std::fprintf(stderr, "dompack extract: %s %s\n", folder.c_str(),
                     name != "Dominarch"
                         ? "is left as it is: only a folder named Dominarch is removed"
                         : "could not be removed entirely");
    }
    return kExitFaulty;
}

}  // namespace

int RunExtract(const std::string& file, const std::string& dir) {
    PackSource pack_file;
    std::string error;
    if (int open_status = kExitOk; !pack_file.Open(file, &error, &open_status)) {
        std::fprintf(stderr, "dompack extract: %s: %s\n", file.c_str(), error.c_str());
        return open_status;
    }
    std::string folder;
    if (!FullPath(dir, &folder)) {
        std::fprintf(stderr, "dompack extract: the current folder cannot be read\n");
        return kExitUsage;
    }
    bool created = false;
    if (!PrepareFolder(folder, &created, &error)) {
        std::fprintf(stderr, "dompack extract: %s: %s\n", dir.c_str(), error.c_str());
        return kExitFaulty;
    }
    const int status = Extract(pack_file, file, folder, created);
    if (status == kExitOk) {
        std::printf("%s: extracted into %s\n", file.c_str(), folder.c_str());
    }
    return status;
}
