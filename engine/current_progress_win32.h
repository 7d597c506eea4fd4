#pragma once

// The installer's one progress indicator window: made by the start of an install or an uninstall
// as a visible child of the menu screen, handed to the work it shows, and destroyed
// (window and object) by the user-interface thread when the work has ended.

#include <windows.h>

#include <cstdint>

#include "engine/progress_indicator_win32.h"

// Creates the indicator on `parent`; a previous one is destroyed first. Null when its window
// cannot be created. The caller hands it to the work it shows, which must end before it goes.
CProgressIndicator* CreateProgressIndicator(HWND parent, uint32_t total, uint32_t done);

// Destroys the indicator CreateProgressIndicator made, if there is one.
void DestroyProgressIndicator();
