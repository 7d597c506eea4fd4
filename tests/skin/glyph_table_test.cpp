// The bitmap font's layout: which glyph of the strip goes where for a text.

#include "skin/glyph_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A table in the resource's format from (code, width, height) rows.
std::vector<uint8_t> MakeTable(std::initializer_list<std::array<uint32_t, 3>> glyphs) {
    std::vector<uint8_t> bytes(kGlyphTableSize, 0);
    uint32_t packed = 0;
    for (const auto& [code, width, height] : glyphs) {
        uint8_t* record = bytes.data() + code * kGlyphRecordSize;
        for (int i = 0; i < 4; ++i) {
            record[i] = static_cast<uint8_t>(packed >> (8 * i));
        }
        record[4] = static_cast<uint8_t>(width);
        record[5] = static_cast<uint8_t>(width >> 8);
        record[6] = static_cast<uint8_t>(height);
        record[7] = static_cast<uint8_t>(height >> 8);
        packed += width * height;
    }
    return bytes;
}

TEST(GlyphTable, ColumnsFollowTheWidthsOfTheGlyphsBeforeWithOneBlankColumnEach) {
    const auto bytes = MakeTable({{33, 6, 23}, {65, 11, 23}, {66, 10, 23}, {200, 12, 23}});
    GlyphTable table;
    ASSERT_TRUE(table.Load(bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_EQ(table.Height(), 23u);
    EXPECT_EQ(table.Column(33), 0u);
    EXPECT_EQ(table.Column(65), 7u);
    EXPECT_EQ(table.Column(66), 19u);
    EXPECT_EQ(table.Column(200), 30u);
    EXPECT_EQ(table.Width(32), 0u);
    EXPECT_EQ(table.Column(32), 0u);
}

TEST(GlyphTable, TheHeightIsThatOfTheLowestCodeWithAGlyph) {
    const auto bytes = MakeTable({{40, 5, 17}, {41, 5, 30}});
    GlyphTable table;
    ASSERT_TRUE(table.Load(bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_EQ(table.Height(), 17u);
}

TEST(GlyphTable, AShortTableLoadsNothing) {
    const auto bytes = MakeTable({{65, 11, 23}});
    GlyphTable table;
    EXPECT_FALSE(table.Load(bytes.data(), 256 * kGlyphRecordSize - 1));
    EXPECT_EQ(table.Width(65), 0u);
    EXPECT_TRUE(LayoutText(table, "AAA", 0, 0).empty());
}

struct LayoutRow {
    const char* label;
    const char* text;
    std::vector<GlyphPlacement> expected;
};

TEST(LayoutText, PlacesGlyphsBlanksAndCodesWithoutAGlyph) {
    const auto bytes = MakeTable({{65, 11, 23}, {66, 10, 23}, {200, 12, 23}});
    GlyphTable table;
    ASSERT_TRUE(table.Load(bytes.data(), static_cast<uint32_t>(bytes.size())));
    const LayoutRow rows[] = {
        {"A blank B: the blank advances 8", "A B", {{65, 0, 11, 100, 10}, {66, 12, 10, 119, 10}}},
        {"no gap between glyphs", "AB", {{65, 0, 11, 100, 10}, {66, 12, 10, 111, 10}}},
        {"a code above 127 stands 2 higher",
         "\xC8"
         "A",
         {{200, 23, 12, 100, 8}, {65, 0, 11, 112, 10}}},
        {"a control code draws nothing and does not advance",
         "A\x01"
         "B",
         {{65, 0, 11, 100, 10}, {66, 12, 10, 111, 10}}},
        {"code 127 likewise",
         "\x7F"
         "A",
         {{65, 0, 11, 100, 10}}},
        {"the empty text", "", {}},
        {"blanks only", "   ", {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LayoutText(table, row.text, 100, 10), row.expected) << row.label;
    }
}

}  // namespace
