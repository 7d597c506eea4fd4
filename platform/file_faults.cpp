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
    const FileFault fault = hook != nullptr ? hook->Before(op, path) : FileFault{};
    if (fault.error != FsError::kOk) {
        NoteSystemError(0, fault.error);  // not the system's: no words of its own
    }
    return fault;
}

}  // namespace platform
