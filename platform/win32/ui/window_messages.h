#pragma once

// The messages the installer's own windows exchange, in the range WM_USER opens to a window
// class of its own. The workers post theirs to the menu screen; the menu items and the menu
// screen send theirs to each other.

#include <windows.h>

// The copy has ended, posted by its pipeline to the menu screen. wParam: 1 when it copied
// everything, 0 when it failed or was abandoned; lParam: 0.
inline constexpr UINT kCopyEndedMessage = WM_USER + 1;

// The removal of the install folder has ended, posted by its thread to the menu screen.
// wParam: 1 when nothing was left behind, else 0; lParam: 0.
inline constexpr UINT kRemovalEndedMessage = WM_USER + 2;

// A menu item was clicked, sent by the item to its parent before the button is released.
// wParam: the item's command id; lParam: 0.
inline constexpr UINT kItemClickedMessage = WM_USER + 3;

// The mouse moved over an item. Sent by the item to its parent, and by the parent to the items
// to end their hover look. wParam: the mouse key flags (MK_*); lParam: the mouse position as in
// WM_MOUSEMOVE, in the parent's client coordinates when the item sends it (an item reads
// neither).
inline constexpr UINT kItemHoverMessage = WM_USER + 4;
