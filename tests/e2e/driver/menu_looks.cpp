#include "tests/e2e/driver/menu_looks.h"

#include "platform/win32/ui/device_context.h"
#include "platform/win32/ui/win_app.h"
#include "res/resource_ids.h"

namespace e2e {

namespace {

constexpr UINT kStripOfLook[kLookCount] = {IDB_FONT_DISABLED, IDB_FONT_NORMAL, IDB_FONT_HOVER,
                                           IDB_FONT_PRESSED};

}  // namespace

const char* LookName(int look) {
    static const char* const kNames[kLookCount] = {"disabled", "normal", "hover", "pressed"};
    return look >= 0 && look < kLookCount ? kNames[look] : "no known look";
}

bool MenuLooks::Load(const std::string& setup_path) {
    if (!module_.Open(setup_path)) {
        return false;
    }
    SetOwnResourceModule(module_.Get());
    background_.Reset(LoadBitmapA(module_.Get(), MAKEINTRESOURCEA(IDB_BACKGROUND)));
    bool loaded = static_cast<bool>(background_);
    for (int look = 0; look < kLookCount; ++look) {
        loaded = fonts_[look].Load(kStripOfLook[look], IDB_FONT_MASK, IDR_FONT_TABLE) && loaded;
    }
    return loaded;
}

Image MenuLooks::Render(const RECT& rect, const std::string& text, int look) const {
    Image image;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || look < 0 || look >= kLookCount) {
        return image;
    }
    ClientDC screen(nullptr);
    OwnedBitmap target(CreateCompatibleBitmap(screen.Get(), width, height));
    {
        MemoryDC target_dc(screen.Get(), target.Get());
        MemoryDC background_dc(screen.Get(), background_.Get());
        if (!target_dc.Ready() || !background_dc.Ready()) {
            return image;
        }
        BitBlt(target_dc.Get(), 0, 0, width, height, background_dc.Get(), rect.left, rect.top,
               SRCCOPY);
        fonts_[look].Draw(target_dc.Get(), 0, 0, text.c_str());
    }
    ImageOfBitmap(target.Get(), &image);
    return image;
}

}  // namespace e2e
