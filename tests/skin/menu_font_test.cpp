// The committed menu font: its glyph table, strips and mask agree with the layout the drawing
// code computes, so every glyph is cut from the right columns.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "skin/glyph_table.h"

namespace {

std::vector<uint8_t> ReadArt(const std::string& name) {
    std::vector<uint8_t> bytes;
    if (FILE* file = std::fopen((std::string(ART_DIR) + "/" + name).c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(file)) != EOF) {
            bytes.push_back(static_cast<uint8_t>(c));
        }
        std::fclose(file);
    }
    return bytes;
}

// Width, height and bits per pixel of a BMP file's header.
struct BmpSize {
    int32_t width = 0;
    int32_t height = 0;
    int bits = 0;
};

BmpSize SizeOf(const std::vector<uint8_t>& bmp) {
    BmpSize size;
    if (bmp.size() < 30 || bmp[0] != 'B' || bmp[1] != 'M') {
        return size;
    }
    auto le32 = [&](size_t at) {
        return static_cast<int32_t>(bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 |
                                    bmp[at + 3] << 24);
    };
    size.width = le32(18);
    size.height = le32(22) < 0 ? -le32(22) : le32(22);
    size.bits = bmp[28] | bmp[29] << 8;
    return size;
}

TEST(MenuFont, TheTableCoversTheCodePageWithGlyphsOfOneHeight) {
    const std::vector<uint8_t> bytes = ReadArt("menu_font.proptable");
    ASSERT_EQ(bytes.size(), kGlyphTableSize);
    GlyphTable table;
    ASSERT_TRUE(table.Load(bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_EQ(table.Height(), 23u);
    for (int code = 0; code < 256; ++code) {
        const bool has_glyph = (code >= 33 && code <= 126) || (code >= 161 && code <= 254);
        EXPECT_EQ(table.Width(static_cast<uint8_t>(code)) != 0, has_glyph) << code;
        if (has_glyph) {
            EXPECT_GE(table.Width(static_cast<uint8_t>(code)), 6u) << code;
            EXPECT_LE(table.Width(static_cast<uint8_t>(code)), 20u) << code;
        }
    }
}

TEST(MenuFont, StripsAndMaskAreAsWideAsTheGlyphsWithTheirBlankColumns) {
    const std::vector<uint8_t> bytes = ReadArt("menu_font.proptable");
    GlyphTable table;
    ASSERT_TRUE(table.Load(bytes.data(), static_cast<uint32_t>(bytes.size())));
    const int32_t last = static_cast<int32_t>(table.Column(254) + table.Width(254));
    const BmpSize mask = SizeOf(ReadArt("menu_font_mask.bmp"));
    EXPECT_EQ(mask.width, last + 1);
    EXPECT_EQ(mask.height, 23);
    EXPECT_EQ(mask.bits, 1);
    for (const char* look : {"normal", "disabled", "hover", "pressed"}) {
        const BmpSize strip = SizeOf(ReadArt(std::string("menu_font_") + look + ".bmp"));
        EXPECT_EQ(strip.width, mask.width) << look;
        EXPECT_EQ(strip.height, 23) << look;
        EXPECT_EQ(strip.bits, 8) << look;
    }
}

TEST(MenuFont, TheLongestItemFitsItsRectangle) {
    const std::vector<uint8_t> bytes = ReadArt("menu_font.proptable");
    GlyphTable table;
    ASSERT_TRUE(table.Load(bytes.data(), static_cast<uint32_t>(bytes.size())));
    const auto glyphs = LayoutText(table, "Language Selection", 0, 0);
    ASSERT_FALSE(glyphs.empty());
    EXPECT_LE(glyphs.back().x + glyphs.back().width, 175);
}

}  // namespace
