#pragma once

// The mouse as a user works it: real input (SendInput), which the system routes to whichever
// window lies under the cursor, with the button flags it keeps itself. The target window must be
// on top where the cursor goes.

#include <windows.h>

namespace e2e {

// Moves the cursor to `point` (screen coordinates); true when the cursor is there afterwards.
bool MoveMouseTo(POINT point);
bool PressLeftButton();
bool ReleaseLeftButton();
// Moves to `point`, then presses and releases the left button there.
bool ClickAt(POINT point);

}  // namespace e2e
