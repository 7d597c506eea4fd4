// The safety rules for names and for the walk of folder and up entries.

#include "engine/pack_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/pack_fixture.h"

namespace {

TEST(PackNames, CheckName) {
    struct Row {
        std::string name;
        PackEntryKind kind;
        NameFault fault;
    };
    const auto kFile = PackEntryKind::kFile;
    const auto kFolder = PackEntryKind::kFolder;
    const Row rows[] = {
        {"Dominarch.exe", kFile, NameFault::kNone},
        {"caf\xE9.txt", kFile, NameFault::kNone},
        {".hidden", kFile, NameFault::kNone},
        {"a..b", kFolder, NameFault::kNone},
        {std::string(59, 'n'), kFile, NameFault::kNone},
        {std::string(60, 'n'), kFile, NameFault::kTooLong},
        {"", kFile, NameFault::kEmpty},
        {"", kFolder, NameFault::kEmpty},
        {"a/b", kFile, NameFault::kPathSeparator},
        {"..\\windows", kFolder, NameFault::kPathSeparator},
        {"/", kFolder, NameFault::kPathSeparator},
        {"C:", kFolder, NameFault::kColon},
        {"file.txt:stream", kFile, NameFault::kColon},
        {"tab\there", kFile, NameFault::kControlByte},
        {"\x1F", kFile, NameFault::kControlByte},
        {"what?", kFile, NameFault::kForbiddenCharacter},
        {"a*b", kFile, NameFault::kForbiddenCharacter},
        {"<x>", kFile, NameFault::kForbiddenCharacter},
        {".", kFolder, NameFault::kDotName},
        {".", kFile, NameFault::kDotName},
        {"..", kFile, NameFault::kDotName},
        {"..", kFolder, NameFault::kDotName},
        {"..", PackEntryKind::kUp, NameFault::kNone},
        {"name.", kFile, NameFault::kTrailingDotOrBlank},
        {"...", kFolder, NameFault::kTrailingDotOrBlank},
        {"name ", kFolder, NameFault::kTrailingDotOrBlank},
        {"CON", kFile, NameFault::kDeviceName},
        {"con", kFolder, NameFault::kDeviceName},
        {"Nul.txt", kFile, NameFault::kDeviceName},
        {"aux.tar.gz", kFile, NameFault::kDeviceName},
        {"PRN", kFile, NameFault::kDeviceName},
        {"COM1", kFile, NameFault::kDeviceName},
        {"lpt9.log", kFile, NameFault::kDeviceName},
        {"AUX .txt", kFile, NameFault::kDeviceName},
        {"COM\xB9", kFile, NameFault::kDeviceName},
        {"COM0", kFile, NameFault::kNone},
        {"COM10", kFile, NameFault::kNone},
        {"LPT", kFile, NameFault::kNone},
        {"CONSOLE", kFile, NameFault::kNone},
        {"icon", kFile, NameFault::kNone},
        {"x.con", kFile, NameFault::kNone},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CheckName(row.name, row.kind), row.fault)
            << "'" << row.name << "': " << NameFaultMessage(CheckName(row.name, row.kind));
    }
}

TEST(PackNames, CheckEntryNameNeedsTheTerminatingZero) {
    Bytes raw = PackBytes()
                    .Entry(std::string(60, 'n'), 1)
                    .Entry(std::string(59, 'n'), 1)
                    .Entry(std::string("..\0", 3), 0x80000000)
                    .Entry(std::string("a\0/\\", 4), 0)  // what follows the zero is not the name
                    .Raw();
    const uint8_t* directory = raw.data() + kPackHeaderSize;
    EXPECT_EQ(CheckEntryName(PackEntry(directory)), NameFault::kNotTerminated);
    EXPECT_EQ(CheckEntryName(PackEntry(directory + 64)), NameFault::kNone);
    EXPECT_EQ(CheckEntryName(PackEntry(directory + 128)), NameFault::kNone);
    EXPECT_EQ(CheckEntryName(PackEntry(directory + 192)), NameFault::kNone);
}

struct Step {
    PackEntryKind kind;
    std::string name;
};

Step F(std::string name) {
    return {PackEntryKind::kFile, std::move(name)};
}
Step D(std::string name) {
    return {PackEntryKind::kFolder, std::move(name)};
}
Step U() {
    return {PackEntryKind::kUp, ".."};
}

// Runs a walk; the index of the step at fault (steps.size() for the finish) and its fault.
std::pair<size_t, WalkFault> Walk(const std::vector<Step>& steps) {
    PackWalk walk;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (WalkFault fault = walk.Step(steps[i].name, steps[i].kind); fault != WalkFault::kNone) {
            return {i, fault};
        }
    }
    return {steps.size(), walk.Finish()};
}

TEST(PackNames, Walk) {
    struct Row {
        const char* label;
        std::vector<Step> steps;
        size_t at;
        WalkFault fault;
    };
    const Row rows[] = {
        {"empty", {}, 0, WalkFault::kNone},
        {"balanced", {F("a"), D("d"), F("b"), D("e"), U(), U(), F("c")}, 7, WalkFault::kNone},
        {"up_above_root", {U()}, 0, WalkFault::kAboveInstallFolder},
        {"up_above_root_later", {D("d"), U(), U(), D("x")}, 2, WalkFault::kAboveInstallFolder},
        {"unbalanced", {D("d"), D("e"), U()}, 3, WalkFault::kUnbalanced},
        {"file_twice", {F("a"), F("a")}, 1, WalkFault::kNameClash},
        {"file_twice_other_case", {F("Read.me"), F("READ.ME")}, 1, WalkFault::kNameClash},
        {"cp1252_case", {F("\xE9t\xE9"), F("\xC9T\xC9")}, 1, WalkFault::kNameClash},
        {"file_then_folder", {F("data"), D("Data"), U()}, 1, WalkFault::kNameClash},
        {"folder_then_file", {D("data"), U(), F("DATA")}, 2, WalkFault::kNameClash},
        {"folder_entered_again", {D("d"), F("a"), U(), D("D"), F("b"), U()}, 6, WalkFault::kNone},
        {"folder_entered_again_clash",
         {D("d"), F("a"), U(), D("d"), F("A"), U()},
         4,
         WalkFault::kNameClash},
        {"same_name_other_folder", {F("a"), D("d"), F("a"), U()}, 4, WalkFault::kNone},
    };
    for (const Row& row : rows) {
        auto [at, fault] = Walk(row.steps);
        EXPECT_EQ(at, row.at) << row.label;
        EXPECT_EQ(fault, row.fault) << row.label << ": " << WalkFaultMessage(fault);
    }
}

TEST(PackNames, DeepWalkNeedsNoRecursion) {
    constexpr int kDepth = 200000;
    auto walk = std::make_unique<PackWalk>();
    for (int i = 0; i < kDepth; ++i) {
        ASSERT_EQ(walk->Step("d", PackEntryKind::kFolder), WalkFault::kNone);
    }
    EXPECT_EQ(walk->depth(), kDepth);
    EXPECT_EQ(walk->Finish(), WalkFault::kUnbalanced);
    walk.reset();  // and the destruction neither
}

}  // namespace
