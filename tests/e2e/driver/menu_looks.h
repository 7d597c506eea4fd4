#pragma once

// What a menu item should show, rendered by the test itself from Setup.exe's own artwork: the
// background picture (bitmap 129) under the item's rectangle with the item's word drawn over it
// in the bitmap font of one look (disabled, normal, hover, pressed), exactly as the item draws
// itself. Comparing such a rendering with a capture of the screen tells both the item's text and
// its look.

#include <string>

#include "platform/win32/ui/gdi_object.h"
#include "skin/bitmap_font_win32.h"
#include "tests/e2e/driver/data_module.h"
#include "tests/e2e/driver/image.h"

namespace e2e {

enum ItemLookId { kDisabledLook = 0, kNormalLook = 1, kHoverLook = 2, kPressedLook = 3 };
inline constexpr int kLookCount = 4;

const char* LookName(int look);

class MenuLooks {
  public:
    // Opens `setup_path` as a data file, makes it the own resource module (the fonts load from
    // it) and loads the background and the four item fonts. False when any is missing.
    bool Load(const std::string& setup_path);

    // The item at `rect` (menu screen client coordinates) showing `text` in `look`.
    Image Render(const RECT& rect, const std::string& text, int look) const;

    const DataModule& Module() const { return module_; }

  private:
    DataModule module_;
    OwnedBitmap background_;
    CBitmapFont fonts_[kLookCount];
};

}  // namespace e2e
