// The memory gzip stream against files made by real gzip tools (by hand only where no tool makes
// the case; see fixtures/gzip/make.py), read in pieces of many sizes. Every block sits in an
// allocation of exactly its size, so a sanitizer build catches any read beyond it.

#include "engine/memgz.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

Bytes Fixture(const std::string& name) {
    return ReadFile(std::string(MEMGZ_FIXTURES) + "/" + name);
}

// A copy of some bytes in a malloc'ed block of exactly their size.
class ExactBlock {
  public:
    explicit ExactBlock(const Bytes& bytes)
        : size_(bytes.size()), data_(static_cast<uint8_t*>(std::malloc(bytes.size()))) {
        if (!bytes.empty()) {
            std::memcpy(data_, bytes.data(), bytes.size());
        }
    }
    ~ExactBlock() { std::free(data_); }
    ExactBlock(const ExactBlock&) = delete;
    ExactBlock& operator=(const ExactBlock&) = delete;

    const uint8_t* data() const { return data_; }
    uint32_t size() const { return static_cast<uint32_t>(size_); }

  private:
    size_t size_;
    uint8_t* data_;
};

struct StreamCloser {
    void operator()(memgz_stream* stream) const { memgz_close(stream); }
};
using StreamPtr = std::unique_ptr<memgz_stream, StreamCloser>;

StreamPtr Open(const ExactBlock& block) {
    return StreamPtr(memgz_open(block.data(), "rb", block.size()));
}

struct ReadOutcome {
    Bytes bytes;
    int last = 1;  // the result of the read that ended it: 0 or -1 (1: it never ended)
};

// Reads until a read returns 0 or less, the read lengths cycling through `pieces`.
ReadOutcome ReadAll(memgz_stream* stream, const std::vector<uint32_t>& pieces) {
    constexpr int kMaxReads = 10'000'000;
    ReadOutcome outcome;
    Bytes buffer;
    for (int i = 0; i < kMaxReads; ++i) {
        const uint32_t length = pieces[i % pieces.size()];
        buffer.resize(length);
        const int result = memgz_read(stream, buffer.data(), length);
        if (result <= 0) {
            outcome.last = result;
            break;
        }
        EXPECT_LE(static_cast<uint32_t>(result), length);
        outcome.bytes.insert(outcome.bytes.end(), buffer.begin(), buffer.begin() + result);
    }
    return outcome;
}

bool IsPrefix(const Bytes& prefix, const Bytes& whole) {
    return prefix.size() <= whole.size() && std::equal(prefix.begin(), prefix.end(), whole.begin());
}

const std::vector<std::vector<uint32_t>> kPieceSizes = {
    {1}, {7}, {16383}, {65536}, {1, 7, 16383, 65536, 3, 16384, 16385, 100000, 2}};

struct Row {
    const char* fixture;  // NAME; NAME.out holds the bytes to be delivered
    const char* label;
    int last;   // what the reads end with: 0 (end of data) or -1 (data error), sticky
    int close;  // memgz_close's result
};

const Row kRows[] = {
    {"gnu_gzip_name.gz", "GNU gzip with the file name stored", 0, Z_OK},
    {"python_gzip.gz", "Python's gzip module", 0, Z_OK},
    {"two_members.gz", "two members one after the other", 0, Z_OK},
    {"empty_member.gz", "a member of no data", 0, Z_OK},
    {"all_header_fields.gz", "extra field, name, comment and header CRC", 0, Z_OK},
    {"magic_across_refill.gz", "next member's magic split by a refill", 0, Z_OK},
    {"not_gzip.txt", "plain data comes out unchanged", 0, Z_OK},
    {"not_gzip_1f.bin", "plain data beginning with 0x1F", 0, Z_OK},
    {"empty.bin", "empty block", 0, Z_OK},
    {"member_then_text.gz", "plain data after a member", 0, Z_OK},
    {"lone_1f_across_refill.gz", "0x1F then plain data, split by a refill", 0, Z_OK},
    {"truncated.gz", "cut in the deflate data: what inflates", 0, Z_BUF_ERROR},
    {"truncated_in_length.gz", "cut in the stored length", -1, Z_DATA_ERROR},
    {"truncated_in_crc.gz", "cut in the stored CRC", -1, Z_DATA_ERROR},
    {"truncated_header.gz", "cut in the header", -1, Z_DATA_ERROR},
    {"lone_1f.bin", "a lone first magic byte", -1, Z_DATA_ERROR},
    {"corrupt_deflate.gz", "stored block, then a reserved block type", -1, Z_DATA_ERROR},
    {"crc_mismatch.gz", "CRC mismatch", -1, Z_DATA_ERROR},
    {"method_7.gz", "method other than 8", -1, Z_DATA_ERROR},
    {"reserved_flag.gz", "reserved flag bit", -1, Z_DATA_ERROR},
};

TEST(MemgzTest, FixturesDeliverTheirBytesAndEndAsExpected) {
    for (const Row& row : kRows) {
        const ExactBlock block(Fixture(row.fixture));
        const Bytes expected = Fixture(std::string(row.fixture) + ".out");
        for (const auto& pieces : kPieceSizes) {
            SCOPED_TRACE(std::string(row.fixture) + " (" + row.label + "), first piece " +
                         std::to_string(pieces[0]) + " of " + std::to_string(pieces.size()));
            StreamPtr stream = Open(block);
            ASSERT_NE(stream, nullptr);
            const ReadOutcome outcome = ReadAll(stream.get(), pieces);
            EXPECT_TRUE(outcome.bytes == expected)
                << outcome.bytes.size() << " bytes delivered, " << expected.size() << " expected";
            EXPECT_EQ(outcome.last, row.last);
            uint8_t byte;
            EXPECT_EQ(memgz_read(stream.get(), &byte, 1), row.last);
            EXPECT_EQ(memgz_read(stream.get(), &byte, 1), row.last);
            EXPECT_EQ(memgz_close(stream.release()), row.close);
        }
    }
}

TEST(MemgzTest, ZeroLengthReadChangesNothing) {
    const ExactBlock block(Fixture("two_members.gz"));
    const Bytes expected = Fixture("two_members.gz.out");
    StreamPtr stream = Open(block);
    ASSERT_NE(stream, nullptr);
    Bytes head(1000);
    ASSERT_EQ(memgz_read(stream.get(), head.data(), 1000), 1000);
    const auto state = [](const memgz_stream& s) {
        return std::make_tuple(s.position, s.zstream.next_in, s.zstream.avail_in,
                               s.zstream.next_out, s.zstream.avail_out, s.zstream.total_out, s.crc,
                               s.last_error, s.end_of_input, s.transparent);
    };
    const auto before = state(*stream);
    EXPECT_EQ(memgz_read(stream.get(), head.data(), 0), 0);
    EXPECT_TRUE(state(*stream) == before);
    const ReadOutcome rest = ReadAll(stream.get(), {4096});
    head.insert(head.end(), rest.bytes.begin(), rest.bytes.end());
    EXPECT_TRUE(head == expected);
}

TEST(MemgzTest, ExactLengthThenTheTrailerDecides) {
    const struct {
        const char* fixture;
        int after;
    } cases[] = {{"python_gzip.gz", 0}, {"crc_mismatch.gz", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const ExactBlock block(Fixture(c.fixture));
        const Bytes expected = Fixture(std::string(c.fixture) + ".out");
        StreamPtr stream = Open(block);
        Bytes out(expected.size());
        const uint32_t size = static_cast<uint32_t>(out.size());
        ASSERT_EQ(memgz_read(stream.get(), out.data(), size), static_cast<int>(size));
        EXPECT_TRUE(out == expected);
        EXPECT_EQ(memgz_read(stream.get(), out.data(), size), c.after);
    }
}

TEST(MemgzTest, OpenRefusesNullBlockNullModeAndModesWithoutR) {
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(memgz_open(nullptr, "rb", 3), nullptr);
    EXPECT_EQ(memgz_open(bytes, nullptr, 3), nullptr);
    EXPECT_EQ(memgz_open(bytes, "wb", 3), nullptr);
    EXPECT_EQ(memgz_open(bytes, "", 3), nullptr);
    for (const char* mode : {"r", "rb", "b9hfr"}) {
        memgz_stream* stream = memgz_open(bytes, mode, 3);
        ASSERT_NE(stream, nullptr) << mode;
        EXPECT_EQ(stream->mode, 'r');
        EXPECT_EQ(memgz_close(stream), Z_OK);
    }
}

TEST(MemgzTest, NullStreamOrBufferIsAStreamError) {
    uint8_t byte;
    EXPECT_EQ(memgz_read(nullptr, &byte, 1), Z_STREAM_ERROR);
    EXPECT_EQ(memgz_close(nullptr), Z_STREAM_ERROR);

    const ExactBlock block(Fixture("python_gzip.gz"));
    StreamPtr stream = Open(block);
    EXPECT_EQ(memgz_read(stream.get(), nullptr, 10), Z_STREAM_ERROR);
    EXPECT_TRUE(ReadAll(stream.get(), {512}).bytes == Fixture("python_gzip.gz.out"));
}

// Several megabytes of half text, half noise: compressible, yet the input stays large.
Bytes LargeData() {
    constexpr size_t kSize = 4 << 20;
    constexpr size_t kRun = 50000;
    const char* words[] = {"castle ", "river ", "banner ", "north ", "siege\n", "gold "};
    Bytes data;
    data.reserve(kSize);
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    while (data.size() < kSize) {
        const bool noise = (data.size() / kRun) % 2 == 1;
        for (size_t i = 0; i < kRun && data.size() < kSize;) {
            if (noise) {
                data.push_back(static_cast<uint8_t>(next() >> 16));
                ++i;
            } else {
                const char* word = words[(next() >> 16) % 6];
                data.insert(data.end(), word, word + std::strlen(word));
                i += std::strlen(word);
            }
        }
    }
    return data;
}

// One gzip member made by zlib's own gzip writer.
Bytes ZlibGzip(const uint8_t* data, size_t size, int level) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    Bytes out(deflateBound(&z, static_cast<uLong>(size)) + 32);
    z.next_in = const_cast<uint8_t*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

void ExpectReadsBackInOddPieces(const Bytes& gz, const Bytes& data) {
    ASSERT_GT(gz.size(), 2u << 20) << "the input should take many refills";
    const ExactBlock block(gz);
    StreamPtr stream = Open(block);
    const ReadOutcome outcome =
        ReadAll(stream.get(), {1, 7, 16383, 65536, 2, 16384, 16385, 100000, 3, 1, 1, 9});
    EXPECT_EQ(outcome.last, 0);
    EXPECT_EQ(outcome.bytes.size(), data.size());
    EXPECT_TRUE(outcome.bytes == data);
}

TEST(MemgzTest, LargeInputOfThreeMembersInOddPieces) {
    const Bytes data = LargeData();
    const size_t third = data.size() / 3;
    Bytes gz;
    for (int member = 0; member < 3; ++member) {
        const size_t size = member < 2 ? third : data.size() - 2 * third;
        const Bytes part = ZlibGzip(data.data() + member * third, size, 1 + 4 * member);
        gz.insert(gz.end(), part.begin(), part.end());
    }
    ExpectReadsBackInOddPieces(gz, data);
}

TEST(MemgzTest, LargeInputMadeByGnuGzip) {
#ifdef _WIN32
    GTEST_SKIP() << "gzip is not run under wine";
#else
    if (std::system("gzip --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no gzip on this machine";
    }
    const Bytes data = LargeData();
    const std::string dir = testing::TempDir();
    const std::string first = dir + "memgz_first", second = dir + "memgz_second";
    const size_t half = data.size() / 2 + 12345;
    std::ofstream(first, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), half);
    std::ofstream(second, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data() + half), data.size() - half);
    const std::string gz = dir + "memgz_large.gz";
    const std::string command =
        "gzip -c -6 " + first + " > " + gz + " && gzip -c -9 " + second + " >> " + gz;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const Bytes compressed = ReadFile(gz);
    std::remove(first.c_str());
    std::remove(second.c_str());
    std::remove(gz.c_str());
    ExpectReadsBackInOddPieces(compressed, data);
#endif
}

TEST(MemgzTest, EveryTruncationEndsCleanlyWithinTheBlock) {
    const Bytes whole = Fixture("python_gzip.gz");
    const Bytes data = Fixture("python_gzip.gz.out");
    constexpr size_t kHeaderSize = 10;
    constexpr size_t kTrailerSize = 8;
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const ExactBlock block(Bytes(whole.begin(), whole.begin() + cut));
        StreamPtr stream = Open(block);
        const ReadOutcome outcome = ReadAll(stream.get(), {cut % 2 ? 4096u : 333u});
        EXPECT_TRUE(IsPrefix(outcome.bytes, data));
        if (cut == 0) {
            EXPECT_EQ(outcome.last, 0);
        } else if (cut < kHeaderSize) {
            EXPECT_EQ(outcome.last, -1);
        } else if (cut >= whole.size() - kTrailerSize) {
            EXPECT_EQ(outcome.bytes.size(), data.size());
            EXPECT_EQ(outcome.last, cut < whole.size() ? -1 : 0);  // any cut trailer is damage
        } else {
            EXPECT_TRUE(outcome.last == 0 || outcome.last == -1);
        }
    }
}

TEST(MemgzTest, GarbageEndsCleanlyWithinTheBlock) {
    uint32_t seed = 777;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 400; ++round) {
        Bytes garbage(next() % 3000);
        for (uint8_t& byte : garbage) {
            byte = static_cast<uint8_t>(next());
        }
        const uint8_t header[10] = {0x1F, 0x8B, 8, static_cast<uint8_t>(next() & 0x1E)};
        if (round % 2 == 0) {  // most garbage then gets past the header into inflate
            garbage.insert(garbage.begin(), header, header + (round % 8 == 0 ? 4 : 10));
        }
        const ExactBlock block(garbage);
        StreamPtr stream = Open(block);
        const ReadOutcome outcome = ReadAll(stream.get(), {1 + next() % 700});
        EXPECT_TRUE(outcome.last == 0 || outcome.last == -1) << "round " << round;
        uint8_t byte;
        EXPECT_EQ(memgz_read(stream.get(), &byte, 1), outcome.last) << "round " << round;
    }
}

}  // namespace
