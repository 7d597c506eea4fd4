#pragma once

#include <windows.h>

#include "engine/extraction.h"

// Tells a window that a copy has ended: posts WM_USER+1 with the result (1 copied, 0 failed or
// abandoned) as wParam and 0 as lParam, from the pipeline's control thread.
class CExtractionNotify : public ExtractionListener {
  public:
    explicit CExtractionNotify(HWND window) : window_(window) {}
    void OnExtractionDone(int result) override;

  private:
    HWND window_;
};
