#include "platform/file_faults.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<FileFaultHook*> g_hook{nullptr};
}

FileFaultHook* SetFileFaultHook(FileFaultHook* hook) {
    return g_hook.exchange(hook);
}

FileFault CheckFileFault(FileOp op, const std::string& path) {
    FileFaultHook* hook = g_hook.load(std::memory_order_acquire);
    return hook != nullptr ? hook->Before(op, path) : FileFault{};
}

}  // namespace platform
