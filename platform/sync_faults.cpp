#include <atomic>

#include "platform/sync.h"

namespace platform {

namespace {
std::atomic<int> g_countdown{0};  // objects to make before the one that fails; 0: none fails
}

void FailSyncObjectCreation(int n) {
    g_countdown.store(n);
}

bool SyncObjectCreationFails() {
    int left = g_countdown.load();
    while (left > 0 && !g_countdown.compare_exchange_weak(left, left - 1)) {
    }
    return left == 1;
}

}  // namespace platform
