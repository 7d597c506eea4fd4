#include "tests/e2e/driver/menu_items.h"

#include "tests/e2e/driver/windows_of_process.h"

namespace e2e {

namespace {

// The direct children of `parent` that are not statics.
struct Candidates {
    HWND parent;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectCandidate(HWND child, LPARAM context) {
    auto* candidates = reinterpret_cast<Candidates*>(context);
    if (GetParent(child) == candidates->parent &&
        lstrcmpiA(WindowClassName(child).c_str(), "Static") != 0) {
        candidates->windows.push_back(child);
    }
    return TRUE;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

}  // namespace

bool FindMenuItems(HWND menu_screen, std::vector<MenuItem>* items) {
    items->clear();
    Candidates candidates{menu_screen, {}};
    EnumChildWindows(menu_screen, CollectCandidate, reinterpret_cast<LPARAM>(&candidates));
    bool complete = true;
    for (int id : kAllMenuItems) {
        HWND placeholder = GetDlgItem(menu_screen, id);
        RECT placeholder_rect = {};
        if (placeholder == nullptr || !GetWindowRect(placeholder, &placeholder_rect)) {
            complete = false;
            continue;
        }
        int matches = 0;
        for (HWND window : candidates.windows) {
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
