#include "install/disk_space.h"

#include <cinttypes>
#include <cstdio>

namespace install {

std::string FormatKilobytes(uint64_t bytes) {
    uint64_t k = bytes >> 10;
    char group[32];
    if (k < 1000) {
        std::snprintf(group, sizeof group, "%" PRIu64 "KB", k);
        return group;
    }
    std::snprintf(group, sizeof group, "%03" PRIu64 "KB", k % 1000);
    std::string s = group;
    for (k /= 1000; k >= 1000; k /= 1000) {
        std::snprintf(group, sizeof group, "%03" PRIu64 " ", k % 1000);
        s = group + s;
    }
    std::snprintf(group, sizeof group, "%" PRIu64 " ", k);
    return group + s;
}

}  // namespace install
