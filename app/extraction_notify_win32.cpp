#include "app/extraction_notify_win32.h"

namespace {
constexpr UINT kExtractionDoneMessage = WM_USER + 1;
}

void CExtractionNotify::OnExtractionDone(int result) {
    PostMessageA(window_, kExtractionDoneMessage, static_cast<WPARAM>(result), 0);
}
