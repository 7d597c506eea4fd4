#pragma once

// The full check of a pack, as `dompack verify` runs it: the whole stream is read through
// PackReader, exactly as the installer reads it, and the gzip framing, the directory (names and
// walk) and the bodies are checked until the first fault.

#include <cstdint>
#include <string>

struct PackVerdict {
    bool ok = false;
    int32_t entry = -1;   // the entry at fault, numbered from 0; -1 when the fault is no entry's
    std::string message;  // the fault, without the entry's number
    int32_t files = 0;
    int32_t folders = 0;
    uint64_t body_bytes = 0;
};

// Checks the pack in `size` bytes at `block`: gzip data that ends cleanly, each member with a
// matching CRC and length field (a pack is one member or several in a row), the magic, a
// directory of whole entries read in full, every name safe, a walk that never climbs above the
// install folder and ends in it, no name used twice in one folder, and bodies that fill the rest
// of the stream exactly.
PackVerdict VerifyPack(const uint8_t* block, uint32_t size);

// "entry 17: name contains a path separator", or the bare message for a fault of no entry.
std::string DescribeVerdict(const PackVerdict& verdict);
