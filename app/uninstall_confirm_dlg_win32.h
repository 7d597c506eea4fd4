#pragma once

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// "Uninstall?": "YES " ends it with IDOK, "NO!" (the default) with IDCANCEL.
class CUninstallConfirmDlg : public CTemplateDialog<IDD_UNINSTALL_CONFIRM> {
  public:
    using CTemplateDialog::CTemplateDialog;
};
