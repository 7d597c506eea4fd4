#pragma once

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// "Are you Sure you want to exit from the installation process?!": "OK Exit" ends it with IDOK,
// "Continue" (the default) with IDCANCEL.
class CExitInstallDlg : public CTemplateDialog<IDD_EXIT_INSTALL> {
  public:
    using CTemplateDialog::CTemplateDialog;
};
