#pragma once

// The glyph table of a proportional bitmap font (a PROPTABLE resource) and the layout of a text
// drawn with it. The table gives each of the 256 byte codes a glyph width (0: no glyph) and
// height; the glyphs stand side by side in the font's strip, in code order, each followed by one
// blank column, so a glyph's column is computed once from the widths before it.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr uint32_t kGlyphTableSize = 2064;  // 256 records of 8 bytes, 16 bytes of zero
inline constexpr uint32_t kGlyphRecordSize = 8;
inline constexpr int32_t kBlankAdvance = 8;   // code 32 moves on without drawing
inline constexpr int32_t kHighCodeRaise = 2;  // codes above 127 stand this much higher

class GlyphTable {
  public:
    // Reads the table; false (and no glyphs) when fewer than 256 records are given.
    bool Load(const uint8_t* bytes, uint32_t size);

    uint32_t Width(uint8_t code) const { return width_[code]; }
    uint32_t Column(uint8_t code) const { return column_[code]; }
    // The font's one height: that of the lowest code with a glyph; 0 without glyphs.
    uint32_t Height() const { return height_; }

  private:
    std::array<uint32_t, 256> width_{};   // glyph width per code, 0 = none
    std::array<uint32_t, 256> column_{};  // first column of the glyph in strip and mask
    uint32_t height_ = 0;
};

// One glyph to copy: `width` x the font's height from column `source_x` of the strip and mask
// to (`x`, `y`) of the target.
struct GlyphPlacement {
    uint8_t code;
    int32_t source_x;
    int32_t width;
    int32_t x;
    int32_t y;

    bool operator==(const GlyphPlacement&) const = default;
};

// Where each glyph of `text` goes when its first glyph's top-left is at (x, y): glyphs follow
// each other without a gap, a blank advances 8 without drawing, codes without a glyph draw
// nothing and do not advance, and codes above 127 stand 2 pixels higher. The text ends at its
// first zero byte.
std::vector<GlyphPlacement> LayoutText(const GlyphTable& table, std::string_view text, int32_t x,
                                       int32_t y);
