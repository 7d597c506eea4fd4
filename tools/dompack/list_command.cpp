// dompack list: reads only the directory and prints the tree it describes. Every name and the
// walk are checked as they come, so nothing is printed that the installer would refuse.

#include <cstdio>
#include <string>
#include <vector>

#include "engine/cp1252.h"
#include "engine/pack_names.h"
#include "engine/pack_reader.h"
#include "tools/dompack/commands.h"
#include "tools/dompack/pack_source.h"

namespace {

class Lister {
  public:
    // Prints the lines; false at the first faulty entry, with `error` naming it.
    bool Run(const PackReader& reader, std::string* error) {
        for (int32_t i = 0; i < reader.EntryCount(); ++i) {
            if (!Take(reader.Entry(i), error)) {
                *error = "entry " + std::to_string(i) + ": " + *error;
                Flush();
                return false;
            }
        }
        Flush();
        if (WalkFault fault = walk_.Finish(); fault != WalkFault::kNone) {
            *error = WalkFaultMessage(fault);
            return false;
        }
        return true;
    }

  private:
    bool Take(const PackEntry& entry, std::string* error) {
        if (NameFault fault = CheckEntryName(entry); fault != NameFault::kNone) {
            *error = NameFaultMessage(fault);
            return false;
        }
        if (WalkFault fault = walk_.Step(entry); fault != WalkFault::kNone) {
            *error = WalkFaultMessage(fault);
            return false;
        }
        switch (entry.Kind()) {
            case PackEntryKind::kFile:
                lines_ += std::to_string(entry.SizeField()) + " " + prefix_ +
                          Cp1252ToUtf8(entry.Name()) + "\n";
                break;
            case PackEntryKind::kFolder:
                folder_starts_.push_back(prefix_.size());
                prefix_ += Cp1252ToUtf8(entry.Name()) + "/";
                lines_ += prefix_ + "\n";
                break;
            case PackEntryKind::kUp:
                prefix_.resize(folder_starts_.back());
                folder_starts_.pop_back();
                break;
        }
        if (lines_.size() >= kFlushSize) {
            Flush();
        }
        return true;
    }

    void Flush() {
        std::fwrite(lines_.data(), 1, lines_.size(), stdout);
        lines_.clear();
    }

    static constexpr size_t kFlushSize = 1 << 16;
    PackWalk walk_;
    std::string prefix_;                 // the current folder's path, ending in '/' unless empty
    std::vector<size_t> folder_starts_;  // prefix_'s length before each open folder
    std::string lines_;                  // output not yet written
};

}  // namespace

int RunList(const std::string& file) {
    PackSource pack_file;
    std::string error;
    if (int open_status = kExitOk; !pack_file.Open(file, &error, &open_status)) {
        std::fprintf(stderr, "dompack list: %s: %s\n", file.c_str(), error.c_str());
        return open_status;
    }
    PackReader reader;
    PackStatus status = reader.Open(pack_file.data(), pack_file.size());
    if (status == PackStatus::kEmptyDirectory && reader.DirectoryByteCount() == 0) {
        return kExitOk;
    }
    if (status != PackStatus::kOk) {
        std::fprintf(stderr, "dompack list: %s: %s\n", file.c_str(), PackStatusMessage(status));
        return kExitFaulty;
    }
    if (!Lister().Run(reader, &error)) {
        std::fflush(stdout);
        std::fprintf(stderr, "dompack list: %s: %s\n", file.c_str(), error.c_str());
        return kExitFaulty;
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitUsage;
}
