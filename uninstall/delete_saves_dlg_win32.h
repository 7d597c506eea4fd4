#pragma once

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// "Do you want to delete the saved games?": "OK Delete" ends it with IDOK, "NO Way" (the default)
// with IDCANCEL.
class CDeleteSavesDlg : public CTemplateDialog<IDD_DELETE_SAVES> {
  public:
    using CTemplateDialog::CTemplateDialog;
};
