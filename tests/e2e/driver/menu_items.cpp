#include "tests/e2e/driver/menu_items.h"

#include <windows.h>

#include "tests/e2e/driver/windows_of_process.h"

namespace e2e {

namespace {

struct Children {
    HWND parent;
    std::vector<HWND> statics;
    std::vector<HWND> others;
};

BOOL CALLBACK SortChild(HWND child, LPARAM context) {
    auto* children = reinterpret_cast<Children*>(context);
    if (GetParent(child) != children->parent) {
        return TRUE;  // a grandchild
    }
    if (lstrcmpiA(WindowClassName(child).c_str(), "Static") == 0) {
        children->statics.push_back(child);
    } else {
        children->others.push_back(child);
    }
    return TRUE;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

}  // namespace

bool FindMenuItems(HWND menu_screen, std::vector<MenuItem>* items) {
    items->clear();
    Children children{menu_screen, {}, {}};
    EnumChildWindows(menu_screen, SortChild, reinterpret_cast<LPARAM>(&children));
    bool complete = true;
    for (int id : kAllMenuItems) {
        HWND placeholder = GetDlgItem(menu_screen, id);
        RECT placeholder_rect = {};
        if (placeholder == nullptr || !GetWindowRect(placeholder, &placeholder_rect)) {
            complete = false;
            continue;
        }
        int matches = 0;
        for (HWND window : children.others) {
            RECT rect = {};
            if (GetWindowRect(window, &rect) && SameRect(rect, placeholder_rect)) {
                MenuItem item;
                item.id = id;
                item.window = window;
                item.rect = rect;
                MapWindowPoints(nullptr, menu_screen, reinterpret_cast<POINT*>(&item.rect), 2);
                items->push_back(item);
                ++matches;
            }
        }
        complete = complete && matches == 1;
    }
    return complete;
}

const MenuItem* FindItem(const std::vector<MenuItem>& items, int id) {
    for (const MenuItem& item : items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

POINT ItemCentreOnScreen(HWND menu_screen, const MenuItem& item) {
    POINT centre = {(item.rect.left + item.rect.right) / 2, (item.rect.top + item.rect.bottom) / 2};
    ClientToScreen(menu_screen, &centre);
    return centre;
}

}  // namespace e2e
