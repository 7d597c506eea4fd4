// The payload as the installer finds it: the PACK resource, found by the type name "pack", opens
// through the memory gzip stream and its directory and bodies read to a clean end, both in a
// program linked with the installer's resources and in Setup.exe itself.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/pack_reader.h"
#include "engine/pack_verify.h"
#include "platform/resources.h"

namespace {

constexpr uint32_t kPackId = 131;

// Walks the pack as the installer's reader does: every entry in order, every body in chunks,
// and returns the files by path (folders end in '/') with their sizes as read.
std::map<std::string, int64_t> WalkPack(const uint8_t* block, uint32_t size) {
    std::map<std::string, int64_t> tree;
    PackReader reader;
    EXPECT_EQ(reader.Open(block, size), PackStatus::kOk);
    std::vector<std::string> folders;
    std::vector<uint8_t> chunk(kPackChunkSize);
    for (int32_t i = 0; i < reader.EntryCount(); ++i) {
        const PackEntry entry = reader.Entry(i);
        std::string path;
        for (const std::string& folder : folders) {
            path += folder + "/";
        }
        path += std::string(entry.Name());
        switch (entry.Kind()) {
            case PackEntryKind::kUp:
                EXPECT_FALSE(folders.empty()) << "entry " << i << " climbs above the top";
                if (!folders.empty()) {
                    folders.pop_back();
                }
                break;
            case PackEntryKind::kFolder:
                folders.emplace_back(entry.Name());
                tree[path + "/"] = -1;
                break;
            case PackEntryKind::kFile: {
                int64_t remaining = entry.SizeField();
                int64_t got_total = 0;
                for (;;) {
                    const uint32_t want =
                        static_cast<uint32_t>(std::min<int64_t>(remaining, kPackChunkSize));
                    const int got = reader.ReadBody(chunk.data(), want);
                    EXPECT_GE(got, 0) << path;
                    if (got <= 0) {
                        break;
                    }
                    got_total += got;
                    remaining -= got;
                    if (static_cast<uint32_t>(got) != kPackChunkSize) {
                        break;
                    }
                }
                tree[path] = got_total;
                break;
            }
        }
    }
    EXPECT_TRUE(folders.empty()) << "the walk does not end in the install folder";
    uint8_t beyond = 0;
    EXPECT_EQ(reader.ReadBody(&beyond, 1), 0) << "bytes after the last body";
    EXPECT_EQ(reader.StreamEnd(), PackStreamEnd::kClean);
    return tree;
}

void ExpectSamplePayload(const std::map<std::string, int64_t>& tree) {
    for (const char* path : {"Dominarch.exe", "Setup.exe", "tovk.cfg", "data/Dominarch.ico"}) {
        ASSERT_TRUE(tree.count(path)) << path;
        EXPECT_GT(tree.at(path), 0) << path;
    }
    ASSERT_TRUE(tree.count("data/save/"));
    ASSERT_TRUE(tree.count("data/gfx/tiles.bin"));
    EXPECT_EQ(tree.at("data/gfx/tiles.bin"), 131072);
    ASSERT_TRUE(tree.count("data/gfx/empty.dat"));
    EXPECT_EQ(tree.at("data/gfx/empty.dat"), 0);
    EXPECT_GT(tree.at("Setup.exe"), 65536);
}

std::vector<uint8_t> ReadFile(const char* path) {
    std::vector<uint8_t> bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        uint8_t buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        std::fclose(file);
    }
    return bytes;
}

TEST(PackResource, TheLinkedPayloadOpensAndWalksToTheEnd) {
    platform::ResourceBytes pack;
    ASSERT_TRUE(platform::FindOwnResource("pack", kPackId, &pack));
    const std::vector<uint8_t> on_disk = ReadFile(PAYLOAD_PACK);
    ASSERT_EQ(std::vector<uint8_t>(pack.data, pack.data + pack.size), on_disk);

    const PackVerdict verdict = VerifyPack(pack.data, pack.size);
    EXPECT_TRUE(verdict.ok) << DescribeVerdict(verdict);
    ExpectSamplePayload(WalkPack(pack.data, pack.size));
}

TEST(PackResource, SetupExeCarriesThePayloadAsPack131) {
    HMODULE setup = LoadLibraryExA(SETUP_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(setup, nullptr) << SETUP_EXE;
    HRSRC found = FindResourceA(setup, MAKEINTRESOURCEA(kPackId), "pack");
    ASSERT_NE(found, nullptr);
    const auto* block = static_cast<const uint8_t*>(LockResource(LoadResource(setup, found)));
    const uint32_t size = SizeofResource(setup, found);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(block, block + size), ReadFile(PAYLOAD_PACK));
    ExpectSamplePayload(WalkPack(block, size));
    FreeLibrary(setup);
}

}  // namespace
