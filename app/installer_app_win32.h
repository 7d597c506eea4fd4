#pragma once

#include "platform/win32/ui/win_app.h"

// The installer's application object: the single-instance check, the run mode chosen by the
// command line, the hand-over of an uninstall to a temporary copy, and the menu screen run
// modally. The process always ends with exit code 0.
class CInstallerApp : public CWinApp {
  public:
    BOOL InitInstance() override;
    int ExitInstance() override { return 0; }
};
