#pragma once

// The safety rules for the names and the walk of a pack's directory. Whoever writes files from a
// pack (the extraction pipeline) or vouches for one (dompack) checks every entry with these, so
// that no entry can name a path outside the install folder, a device, or a name Windows would
// store under another spelling.

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/pack_format.h"

enum class NameFault {
    kNone,
    kNotTerminated,  // no zero byte within the 60-byte field
    kTooLong,        // more than 59 bytes
    kEmpty,
    kPathSeparator,       // '/' or '\'
    kColon,               // drive letter or alternate data stream
    kControlByte,         // a byte below 0x20
    kForbiddenCharacter,  // < > " | ? *
    kDotName,             // "." or ".." outside an up entry
    kTrailingDotOrBlank,
    kDeviceName,  // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension
};

// Checks one entry's name; an up entry is only ever named "..".
NameFault CheckEntryName(const PackEntry& entry);
// Checks a name as it would be stored in an entry of the given kind.
NameFault CheckName(std::string_view name, PackEntryKind kind);
const char* NameFaultMessage(NameFault fault);

enum class WalkFault {
    kNone,
    kAboveInstallFolder,  // an up entry with no open folder to leave
    kNameClash,           // a name used twice in one folder (without regard to case), except
                          // a folder entered again
    kUnbalanced,          // the walk ends inside a folder
};

const char* WalkFaultMessage(WalkFault fault);

// Follows the walk of a directory, entry by entry, from the install folder.
class PackWalk {
  public:
    PackWalk();

    // Takes the next entry (its name already checked); returns the fault it causes.
    WalkFault Step(const PackEntry& entry);
    WalkFault Step(std::string_view name, PackEntryKind kind);
    // After the last entry: the walk must be back in the install folder.
    WalkFault Finish() const;
    int depth() const { return static_cast<int>(path_.size()) - 1; }

  private:
    // Folders are kept flat and linked by index, so that no depth of nesting recurses.
    struct Folder {
        std::set<std::string> files;            // upper-cased names
        std::map<std::string, size_t> folders;  // upper-cased name -> index in folders_
    };
    std::vector<Folder> folders_;  // every folder met; the install folder first
    std::vector<size_t> path_;     // the folders entered, the current one last
};
