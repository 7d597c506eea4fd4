// PackReader over packs built in memory: the statuses of Open, the entries in place, and the
// bodies read chunk by chunk as the pipeline reads them.

#include "engine/pack_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/pack_fixture.h"

namespace {

struct OpenRow {
    const char* label;
    Bytes block;
    PackStatus status;
    int32_t entries;
};

std::vector<OpenRow> OpenRows() {
    Bytes one_entry = PackBytes().File("a", "").Raw();
    Bytes magic_and_count(one_entry.begin(), one_entry.begin() + 8);
    Bytes noise_bytes = Pattern(200, 8);  // about 230 bytes of gzip: room for 237,000 bytes
    std::string noise(noise_bytes.begin(), noise_bytes.end());
    return {
        {"sample", Gzip(SampleTree().Raw()), PackStatus::kOk, 10},
        {"not_gzip_read_as_it_stands", SampleTree().Raw(), PackStatus::kOk, 10},
        {"wrong_magic", Gzip(PackBytes().Magic(0x544C4F5Bu).File("a", "").Raw()),
         PackStatus::kWrongMagic, 0},
        {"three_bytes", Gzip({'Z', 'O', 'L'}), PackStatus::kWrongMagic, 0},
        {"empty_stream", Gzip({}), PackStatus::kWrongMagic, 0},
        {"empty_block", {}, PackStatus::kWrongMagic, 0},
        {"bad_gzip_method",
         {0x1F, 0x8B, 9, 0, 0, 0, 0, 0, 0, 11, 0, 0},
         PackStatus::kWrongMagic,
         0},
        {"magic_only", Gzip({'Z', 'O', 'L', 'T'}), PackStatus::kShortDirectory, 0},
        {"count_cut_off", Gzip({'Z', 'O', 'L', 'T', 64, 0}), PackStatus::kShortDirectory, 0},
        {"count_zero", Gzip(PackBytes().Raw()), PackStatus::kEmptyDirectory, 0},
        {"count_but_no_directory", Gzip(magic_and_count), PackStatus::kEmptyDirectory, 0},
        {"directory_cut_short", Gzip(PackBytes().File("a", "").DirectoryByteCount(128).Raw()),
         PackStatus::kShortDirectory, 0},
        {"data_error_in_directory",
         GzipThenDataError(PackBytes().File("a", "").DirectoryByteCount(640).Raw()),
         PackStatus::kShortDirectory, 0},
        {"data_error_at_directory", GzipThenDataError(magic_and_count), PackStatus::kShortDirectory,
         0},
        {"partial_entry_ignored",
         Gzip(PackBytes()
                  .File("a", "")
                  .DirectoryByteCount(100)
                  .ExtraBodyBytes(std::string(36, 0))
                  .Raw()),
         PackStatus::kOk, 1},
        {"less_than_one_entry",
         Gzip(PackBytes().DirectoryByteCount(63).ExtraBodyBytes(std::string(63, 1)).Raw()),
         PackStatus::kOk, 0},
        {"count_negative", Gzip(PackBytes().DirectoryByteCount(0x80000000u).Raw()),
         PackStatus::kDirectoryTooLarge, 0},
        {"count_beyond_what_the_block_holds",
         Gzip(PackBytes().DirectoryByteCount(1000000).ExtraBodyBytes(noise).Raw()),
         PackStatus::kDirectoryTooLarge, 0},
        {"count_within_what_the_block_holds",
         Gzip(PackBytes().DirectoryByteCount(100000).ExtraBodyBytes(noise).Raw()),
         PackStatus::kShortDirectory, 0},
    };
}

TEST(PackReader, OpenStatus) {
    for (const OpenRow& row : OpenRows()) {
        ExactBlock block(row.block);
        PackReader reader;
        EXPECT_EQ(reader.Open(block.data(), block.size()), row.status) << row.label;
        EXPECT_EQ(reader.EntryCount(), row.entries) << row.label;
    }
}

TEST(PackReader, NoStreamWithoutABlock) {
    PackReader reader;
    EXPECT_EQ(reader.Open(nullptr, 10), PackStatus::kStreamNotOpened);
    uint8_t byte;
    EXPECT_EQ(reader.ReadBody(&byte, 1), -2);
}

TEST(PackReader, DirectoryTooLargeToAllocateIsAStatus) {
    if (sizeof(void*) != 4) {
        GTEST_SKIP() << "only a 32-bit process is sure to be refused 2 GiB";
    }
    // Noise, so that the block is large enough to hold such a directory in principle.
    Bytes noise = Pattern(2100000, 6);
    ExactBlock block(Gzip(PackBytes()
                              .DirectoryByteCount(0x7FFFFFC0u)
                              .ExtraBodyBytes(std::string(noise.begin(), noise.end()))
                              .Raw()));
    PackReader reader;
    EXPECT_EQ(reader.Open(block.data(), block.size()), PackStatus::kOutOfMemory);
}

TEST(PackReader, EntriesInPlace) {
    ExactBlock block(Gzip(SampleTree().Raw()));
    PackReader reader;
    ASSERT_EQ(reader.Open(block.data(), block.size()), PackStatus::kOk);
    struct Expected {
        const char* name;
        PackEntryKind kind;
        int32_t size;
    };
    const Expected expected[] = {
        {"Dominarch.exe", PackEntryKind::kFile, 11}, {"data", PackEntryKind::kFolder, INT32_MIN},
        {"empty.dat", PackEntryKind::kFile, 0},      {"maps", PackEntryKind::kFolder, INT32_MIN},
        {"big.map", PackEntryKind::kFile, 131072},   {"..", PackEntryKind::kUp, INT32_MIN},
        {"save", PackEntryKind::kFolder, INT32_MIN}, {"..", PackEntryKind::kUp, INT32_MIN},
        {"..", PackEntryKind::kUp, INT32_MIN},       {"caf\xE9.txt", PackEntryKind::kFile, 1},
    };
    ASSERT_EQ(reader.EntryCount(), 10);
    for (int32_t i = 0; i < 10; ++i) {
        PackEntry entry = reader.Entry(i);
        EXPECT_EQ(entry.Name(), expected[i].name) << i;
        EXPECT_EQ(entry.Kind(), expected[i].kind) << i;
        EXPECT_EQ(entry.SizeField(), expected[i].size) << i;
    }
    EXPECT_EQ(reader.ProgressTotal(), 11u + 131072u + 1u);
    EXPECT_EQ(reader.DirectoryByteCount(), 640u);
}

// Reads every body as the pipeline does: pieces of min(chunk, remaining), a file ending on the
// first piece shorter than a chunk (an exact multiple ends with a piece of 0 bytes).
std::vector<std::vector<int>> ReadPieces(PackReader* reader, std::vector<Bytes>* bodies) {
    std::vector<std::vector<int>> pieces;
    Bytes chunk(kPackChunkSize);
    for (int32_t i = 0; i < reader->EntryCount(); ++i) {
        int32_t remaining = reader->Entry(i).SizeField();
        if (remaining < 0) {
            continue;
        }
        pieces.emplace_back();
        bodies->emplace_back();
        for (;;) {
            uint32_t wanted = remaining < int32_t{kPackChunkSize} ? remaining : kPackChunkSize;
            int got = reader->ReadBody(chunk.data(), wanted);
            pieces.back().push_back(got);
            if (got > 0) {
                bodies->back().insert(bodies->back().end(), chunk.begin(), chunk.begin() + got);
                remaining -= got;
            }
            if (got != static_cast<int>(kPackChunkSize)) {
                break;
            }
        }
    }
    return pieces;
}

TEST(PackReader, BodiesInChunks) {
    const Bytes sizes_65536 = Pattern(65536, 2);
    const Bytes sizes_65537 = Pattern(65537, 3);
    const Bytes sizes_131072 = Pattern(131072, 4);
    PackBytes pack;
    pack.File("empty", "").File("five", "12345").Folder("d").File("a", sizes_65536).Up();
    pack.File("b", sizes_65537).File("c", sizes_131072);
    for (bool gzip : {true, false}) {
        ExactBlock block(gzip ? Gzip(pack.Raw()) : pack.Raw());
        PackReader reader;
        ASSERT_EQ(reader.Open(block.data(), block.size()), PackStatus::kOk);
        std::vector<Bytes> bodies;
        std::vector<std::vector<int>> pieces = ReadPieces(&reader, &bodies);
        std::vector<std::vector<int>> expected = {
            {0}, {5}, {65536, 0}, {65536, 1}, {65536, 65536, 0}};
        EXPECT_EQ(pieces, expected) << (gzip ? "gzip" : "plain");
        ASSERT_EQ(bodies.size(), 5u);
        EXPECT_EQ(bodies[1], Bytes({'1', '2', '3', '4', '5'}));
        EXPECT_EQ(bodies[2], sizes_65536);
        EXPECT_EQ(bodies[3], sizes_65537);
        EXPECT_EQ(bodies[4], sizes_131072);
        uint8_t byte;
        EXPECT_EQ(reader.ReadBody(&byte, 1), 0);
        EXPECT_EQ(reader.StreamEnd(), gzip ? PackStreamEnd::kClean : PackStreamEnd::kTruncated);
    }
}

TEST(PackReader, ReadBodyNeverExceedsAChunk) {
    ExactBlock block(Gzip(PackBytes().File("big", Pattern(200000, 5)).Raw()));
    PackReader reader;
    ASSERT_EQ(reader.Open(block.data(), block.size()), PackStatus::kOk);
    Bytes buffer(200000);
    EXPECT_EQ(reader.ReadBody(buffer.data(), 200000), static_cast<int>(kPackChunkSize));
}

TEST(PackReader, PackAcrossTwoGzipMembers) {
    Bytes raw = SampleTree().Raw();
    Bytes first(raw.begin(), raw.begin() + 300);  // the split falls inside the directory
    Bytes second(raw.begin() + 300, raw.end());
    ExactBlock block(Concat(Gzip(first), Gzip(second)));
    PackReader reader;
    ASSERT_EQ(reader.Open(block.data(), block.size()), PackStatus::kOk);
    std::vector<Bytes> bodies;
    ReadPieces(&reader, &bodies);
    ASSERT_EQ(bodies.size(), 4u);
    EXPECT_EQ(bodies[2], Pattern(131072, 1));
    EXPECT_EQ(reader.StreamEnd(), PackStreamEnd::kClean);
}

TEST(PackReader, HowTheStreamEnds) {
    struct Row {
        const char* label;
        Bytes block;
        PackStreamEnd end;
    };
    Bytes good = Gzip(SampleTree().Raw());
    Bytes bad_crc = good;
    bad_crc.at(bad_crc.size() - 6) ^= 0x10;
    const Row rows[] = {
        {"clean", good, PackStreamEnd::kClean},
        {"bodies_longer_than_stream", Gzip(SampleTree().DropBodyBytes(5000).Raw()),
         PackStreamEnd::kClean},
        {"bad_crc", bad_crc, PackStreamEnd::kDataError},
        {"truncated", Bytes(good.begin(), good.end() - 100), PackStreamEnd::kTruncated},
        {"data_error", GzipThenDataError(SampleTree().DropBodyBytes(5000).Raw()),
         PackStreamEnd::kDataError},
    };
    for (const Row& row : rows) {
        ExactBlock block(row.block);
        PackReader reader;
        ASSERT_EQ(reader.Open(block.data(), block.size()), PackStatus::kOk) << row.label;
        std::vector<Bytes> bodies;
        ReadPieces(&reader, &bodies);
        EXPECT_EQ(reader.StreamEnd(), row.end) << row.label;
    }
}

TEST(PackReader, OpenAgainReleasesThePackBefore) {
    ExactBlock first(Gzip(SampleTree().Raw()));
    ExactBlock second(Gzip(PackBytes().File("only", "1").Raw()));
    PackReader reader;
    ASSERT_EQ(reader.Open(first.data(), first.size()), PackStatus::kOk);
    ASSERT_EQ(reader.Open(second.data(), second.size()), PackStatus::kOk);
    ASSERT_EQ(reader.EntryCount(), 1);
    EXPECT_EQ(reader.Entry(0).Name(), "only");
    EXPECT_EQ(reader.Open(nullptr, 0), PackStatus::kStreamNotOpened);
    EXPECT_EQ(reader.EntryCount(), 0);
}

}  // namespace
