// The layout helpers: entry counts, entry kinds and names read in place, the progress total.

#include "engine/pack_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/engine/pack_fixture.h"

namespace {

TEST(PackFormat, MagicIsZoltInFileOrder) {
    const uint8_t bytes[4] = {'Z', 'O', 'L', 'T'};
    EXPECT_EQ(ReadLe32(bytes), kPackMagic);
}

TEST(PackFormat, EntryCount) {
    struct Row {
        uint32_t directory_byte_count;
        int32_t entries;
    };
    const Row rows[] = {
        {0, 0},
        {63, 0},
        {64, 1},
        {127, 1},
        {128, 2},
        {180672, 2823},
        {0x7FFFFFFF, 0x1FFFFFF},
        {0x80000000, 0},  // negative as a signed value
        {0xFFFFFFC0, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PackEntryCount(row.directory_byte_count), row.entries)
            << row.directory_byte_count;
    }
}

TEST(PackFormat, EntryKindAndName) {
    struct Row {
        std::string name_field;
        uint32_t size_field;
        PackEntryKind kind;
        std::string name;
    };
    const Row rows[] = {
        {"readme.txt", 0, PackEntryKind::kFile, "readme.txt"},
        {"..", 7, PackEntryKind::kFile, ".."},  // only the sign bit makes an up entry
        {"..", 0x80000000, PackEntryKind::kUp, ".."},
        {"..", 0xFFFFFFFF, PackEntryKind::kUp, ".."},
        {std::string("..\0junk", 7), 0x80000000, PackEntryKind::kUp, ".."},
        {"...", 0x80000000, PackEntryKind::kFolder, "..."},
        {"data", 0x80000001, PackEntryKind::kFolder, "data"},
        {std::string(60, 'x'), 0x80000000, PackEntryKind::kFolder, std::string(60, 'x')},
    };
    for (const Row& row : rows) {
        Bytes raw = PackBytes().Entry(row.name_field, row.size_field).Raw();
        PackEntry entry(raw.data() + kPackHeaderSize);
        EXPECT_EQ(entry.Kind(), row.kind) << row.name;
        EXPECT_EQ(entry.Name(), row.name);
        EXPECT_EQ(entry.NameTerminated(), row.name.size() < 60) << row.name;
        EXPECT_EQ(static_cast<uint32_t>(entry.SizeField()), row.size_field);
    }
}

TEST(PackFormat, WrittenEntryReadsBack) {
    uint8_t field[kPackEntrySize];
    std::memset(field, 0xAA, sizeof field);
    WritePackEntry("caf\xE9", 123456, field);
    PackEntry entry(field);
    EXPECT_EQ(entry.Name(), "caf\xE9");
    EXPECT_EQ(entry.SizeField(), 123456);
    for (uint32_t i = 4; i < kPackNameFieldSize; ++i) {
        EXPECT_EQ(field[i], 0) << "padding byte " << i;
    }
}

TEST(PackFormat, ProgressTotalSumsFileSizesModulo2To32) {
    Bytes raw = PackBytes()
                    .Entry("a", 5)
                    .Entry("d", 0x80000000)
                    .Entry("b", 0x7FFFFFFF)
                    .Entry("c", 0x7FFFFFFF)
                    .Entry("e", 0xFFFFFFFF)  // a folder: adds nothing
                    .Entry("f", 3)
                    .Raw();
    EXPECT_EQ(PackProgressTotal(raw.data() + kPackHeaderSize, 6), 6u);
    EXPECT_EQ(PackProgressTotal(raw.data() + kPackHeaderSize, 1), 5u);
    EXPECT_EQ(PackProgressTotal(nullptr, 0), 0u);
}

}  // namespace
