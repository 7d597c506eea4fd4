#include "engine/current_progress_win32.h"

#include <memory>

namespace {
std::unique_ptr<CProgressIndicator> g_indicator;  // used by the user-interface thread only
}

CProgressIndicator* CreateProgressIndicator(HWND parent, uint32_t total, uint32_t done) {
    DestroyProgressIndicator();
    auto indicator = std::make_unique<CProgressIndicator>(total, done);
    if (!indicator->Create(parent)) {
        return nullptr;
    }
    g_indicator = std::move(indicator);
    return g_indicator.get();
}

void DestroyProgressIndicator() {
    g_indicator.reset();
}
