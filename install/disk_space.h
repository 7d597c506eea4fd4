#pragma once

// The free space an installation demands, and how the disk space dialog shows byte counts.

#include <cstdint>
#include <string>

namespace install {

// A fixed figure, not the size of the payload: strictly more than this must be free, and the
// progress indicator of an installation starts with it as its total.
inline constexpr uint64_t kInstallSize = 200000000;

// True when a free-space query succeeded and found strictly more than the install size.
inline bool HasRoomForInstall(bool query_succeeded, uint64_t free_bytes) {
    return query_succeeded && free_bytes > kInstallSize;
}

// Whole kilobytes of 1024 bytes (rounded down), digits in groups of three separated by a
// blank, then "KB": 200,000,000 bytes read "195 312KB".
std::string FormatKilobytes(uint64_t bytes);

}  // namespace install
