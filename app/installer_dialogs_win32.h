#pragma once

#include "platform/dialogs.h"

// The installer's answerer of the portable code's questions: each dialog id is shown as its
// dialog class, modally and without a parent, on the thread that asks (the pipeline's writer,
// the uninstall thread).
class CInstallerDialogHost : public platform::DialogHost {
  public:
    int Show(int resource_id) override;
};
