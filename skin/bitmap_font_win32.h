#pragma once

// A proportional bitmap font: a glyph strip (8 bits per pixel), its 1-bit mask and a glyph table,
// all from the program file's own resources. Text is drawn transparently over what is already
// there: for each glyph the mask clears its pixels (SRCAND), then the strip ORs its colours in
// (SRCPAINT). Fonts that share one mask have identical shapes, so a text drawn again in another
// font of the family covers the first exactly.

#include <windows.h>

#include "platform/win32/ui/gdi_object.h"
#include "skin/glyph_table.h"

class CBitmapFont {
  public:
    // Loads the strip, the mask and the glyph table (type "proptable"); false, and a font that
    // draws nothing, when one of them is missing.
    bool Load(UINT strip_id, UINT mask_id, UINT table_id);

    // Draws `text` (up to its zero byte) with its first glyph's top-left at (x, y) of `dc`.
    void Draw(HDC dc, int x, int y, const char* text) const;

  private:
    OwnedBitmap strip_;
    OwnedBitmap mask_;
    GlyphTable table_;
};
