#pragma once

// The menu screen's items as seen from outside: the item windows are the menu screen's child
// windows that are not statics, each lying exactly over one of the hidden placeholder statics
// (1001-1005, 1010) whose id is the item's command.

#include <windows.h>

#include <vector>

namespace e2e {

enum MenuItemId {
    kPlayItem = 1001,
    kInstallItem = 1002,
    kUninstallItem = 1003,
    kViewReadMeItem = 1004,
    kExitItem = 1005,
    kLanguageItem = 1010,
};

inline constexpr MenuItemId kAllMenuItems[] = {kPlayItem,       kInstallItem, kUninstallItem,
                                               kViewReadMeItem, kExitItem,    kLanguageItem};

struct MenuItem {
    int id = 0;             // the placeholder's id
    HWND window = nullptr;  // the item window over it
    RECT rect = {};         // the item's rectangle in the menu screen's client coordinates
};

// Finds the item window over each placeholder of `menu_screen`; false (with what was found)
// when a placeholder has no item window over it, or more than one.
bool FindMenuItems(HWND menu_screen, std::vector<MenuItem>* items);

// The item with `id` among `items`, or nullptr.
const MenuItem* FindItem(const std::vector<MenuItem>& items, int id);

// The centre of the item, in screen coordinates.
POINT ItemCentreOnScreen(HWND menu_screen, const MenuItem& item);

}  // namespace e2e
