#pragma once

// What an uninstall removes before the files: the game's registry keys (and the company key when
// nothing else is left in it), the uninstall entry, and the Start-menu and desktop shortcuts.
// Every step that fails is passed over silently.
void RemoveRegistration();
