#pragma once

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// "Install ERROR", the payload inside the program cannot be unpacked whole: "OK".
class CDamagedPayloadDlg : public CTemplateDialog<IDD_DAMAGED_PAYLOAD> {
  public:
    using CTemplateDialog::CTemplateDialog;
};
