#pragma once

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// The farewell after an uninstall in uninstalling mode: "BYE".
class CUninstallDoneDlg : public CTemplateDialog<IDD_UNINSTALL_DONE> {
  public:
    using CTemplateDialog::CTemplateDialog;
};
