#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/progress.h"
#include "platform/win32/ui/wnd.h"

// Shows the progress indicator of `total` steps on the menu screen (the menu screen owns it and
// destroys it when the work has reported back); null when it cannot be shown.
using ShowProgress = std::function<ProgressIndicator*(uint32_t total)>;

// Starts an uninstall from the menu screen: removes the registration and the shortcuts, shows
// the progress indicator (2,662 steps) and starts the removal of the install folder, which posts
// kRemovalEndedMessage to the menu screen when it has ended (wParam 1 when nothing was left
// behind). Returns at once.
bool StartUninstall(CWnd* menu_screen, const std::string& install_folder,
                    const ShowProgress& show_progress);
