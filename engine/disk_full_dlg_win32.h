#pragma once

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// "Install ERROR", the disk or a directory is full: "Retry" (the default) ends it with IDOK,
// "Exit from Setup" with IDCANCEL.
class CDiskFullDlg : public CTemplateDialog<IDD_DISK_FULL> {
  public:
    using CTemplateDialog::CTemplateDialog;
};
