// The full check of a pack: good packs pass, every damaged or hostile pack is named.

#include "engine/pack_verify.h"

#include <gtest/gtest.h>

#include "tests/engine/pack_fixture.h"

namespace {

TEST(PackVerify, AcceptsGoodPacks) {
    struct Row {
        const char* label;
        Bytes block;
        int32_t files;
        int32_t folders;
        uint64_t body_bytes;
    };
    const Row rows[] = {
        {"sample", Gzip(SampleTree().Raw()), 4, 3, 131084},
        {"empty_tree", Gzip(PackBytes().Raw()), 0, 0, 0},
        {"empty_folder_only", Gzip(PackBytes().Folder("save").Up().Raw()), 0, 1, 0},
        {"folder_entered_twice", Gzip(PackBytes().Folder("d").Up().Folder("d").Up().Raw()), 0, 2,
         0},
        // What the installer's reader takes is valid: members split anywhere, even in a body.
        {"two_members", TwoMembers(SampleTree().Raw(), 100), 4, 3, 131084},
        {"two_members_in_a_body", TwoMembers(SampleTree().Raw(), 70000), 4, 3, 131084},
    };
    for (const Row& row : rows) {
        ExactBlock block(row.block);
        PackVerdict verdict = VerifyPack(block.data(), block.size());
        EXPECT_TRUE(verdict.ok) << row.label << ": " << DescribeVerdict(verdict);
        EXPECT_EQ(verdict.files, row.files) << row.label;
        EXPECT_EQ(verdict.folders, row.folders) << row.label;
        EXPECT_EQ(verdict.body_bytes, row.body_bytes) << row.label;
    }
}

TEST(PackVerify, NamesTheFaultOfEveryHostilePack) {
    for (const HostilePack& pack : HostilePacks()) {
        ExactBlock block(pack.bytes);
        PackVerdict verdict = VerifyPack(block.data(), block.size());
        EXPECT_FALSE(verdict.ok) << pack.label;
        EXPECT_EQ(verdict.entry, pack.entry) << pack.label << ": " << DescribeVerdict(verdict);
        EXPECT_NE(verdict.message.find(pack.fault), std::string::npos)
            << pack.label << ": " << DescribeVerdict(verdict);
    }
}

}  // namespace
