#include "skin/bitmap_font_win32.h"

#include "platform/win32/ui/device_context.h"
#include "platform/win32/ui/win_app.h"

bool CBitmapFont::Load(UINT strip_id, UINT mask_id, UINT table_id) {
    const HINSTANCE module = OwnResourceModule();
    strip_.Reset(LoadBitmapA(module, MAKEINTRESOURCEA(strip_id)));
    if (!strip_) {
        return false;
    }
    mask_.Reset(LoadBitmapA(module, MAKEINTRESOURCEA(mask_id)));
    if (!mask_) {
        return false;
    }
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(table_id), "proptable");
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return false;
    }
    return table_.Load(static_cast<const uint8_t*>(bytes), SizeofResource(module, found));
}

void CBitmapFont::Draw(HDC dc, int x, int y, const char* text) const {
    if (!strip_ || !mask_ || text == nullptr) {
        return;
    }
    MemoryDC strip_dc(dc, strip_.Get());
    MemoryDC mask_dc(dc, mask_.Get());
    if (!strip_dc.Ready() || !mask_dc.Ready()) {
        return;
    }
    // The 1-bit mask becomes black (its 0 bits) and white (its 1 bits) with these colours.
    const COLORREF text_colour = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back_colour = SetBkColor(dc, RGB(255, 255, 255));
    const int height = static_cast<int>(table_.Height());
    for (const GlyphPlacement& glyph : LayoutText(table_, text, x, y)) {
        BitBlt(dc, glyph.x, glyph.y, glyph.width, height, mask_dc.Get(), glyph.source_x, 0, SRCAND);
        BitBlt(dc, glyph.x, glyph.y, glyph.width, height, strip_dc.Get(), glyph.source_x, 0,
               SRCPAINT);
    }
    SetBkColor(dc, back_colour);
    SetTextColor(dc, text_colour);
}
