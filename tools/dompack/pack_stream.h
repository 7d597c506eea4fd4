#pragma once

// The pack of a scanned tree, written as gzip to an open file: what `dompack build` writes into
// its own file, and `dompack setup` into the installer it stamps.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/dompack/tree_scan.h"

struct PackSummary {
    int files = 0;
    int folders = 0;
    uint64_t body_bytes = 0;
    uint64_t compressed_size = 0;  // bytes written to the file
};

// Scans `folder` for a pack; kExitOk, or the exit status of the refusal after its message
// ("dompack COMMAND: ...").
int ScanForPack(const char* command, const std::string& folder, std::vector<ScannedEntry>* entries);

// A pack file's pack has no limit but its format's.
inline constexpr uint64_t kNoPackLimit = UINT64_MAX;

// Writes the pack of `entries` to `fd` from its current position. kExitOk, or the exit status
// after a message naming the file that failed (`out` for a failed write). A pack of more than
// `max_size` bytes (an installer's limit) is refused as soon as the written part would pass it.
int WritePackStream(const char* command, const std::vector<ScannedEntry>& entries, int fd,
                    const std::string& out, uint64_t max_size, PackSummary* summary);

void PrintPackSummary(const std::string& out, const PackSummary& summary);
