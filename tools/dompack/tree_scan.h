#pragma once

// The scan of a folder tree for `dompack build`: the walk it will be packed as, each name
// already converted to code page 1252 and checked, each file's size known.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pack_format.h"

struct ScannedEntry {
    PackEntryKind kind;
    std::string name;                   // in code page 1252; ".." for an up entry
    uint32_t size;                      // a file's length; 0 otherwise
    std::string path;                   // a file's path on this machine, to read its body from
    const uint8_t* contents = nullptr;  // or its body, when it is held in memory
};

enum class ScanResult {
    kOk,
    kRefused,  // the tree holds something a pack cannot carry
    kIoError,  // a folder or a file could not be examined
};

// Scans the tree under `root` in pre-order, each folder's names in byte order, every folder
// closed by an up entry. On a failure `error` names the path and the reason.
ScanResult ScanTree(const std::string& root, std::vector<ScannedEntry>* entries,
                    std::string* error);
