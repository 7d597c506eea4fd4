// The registry rules the registration, language and uninstall steps rely on. Natively they run
// against the in-memory store, under wine against the real registry; every test works below one
// test key in the current user's root and deletes it afterwards.

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/platform/raw_registry.h"

namespace {

using platform::DeleteRegistryTree;
using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;

constexpr RegistryRoot kRoot = RegistryRoot::kCurrentUser;
const std::string kTestKey = "Software\\DominarchPlatformTest";

std::string Below(const std::string& path) {
    return kTestKey + "\\" + path;
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteRegistryTree(kRoot, kTestKey); }
    void TearDown() override { DeleteRegistryTree(kRoot, kTestKey); }
};

TEST_F(RegistryTest, OpenFailsForAMissingKeyAndCreateMakesEveryLevel) {
    RegistryKey key;
    EXPECT_FALSE(key.Open(kRoot, Below("Tessaline"), RegistryAccess::kQueryValue));
    EXPECT_FALSE(key.IsOpen());
    ASSERT_TRUE(key.Create(kRoot, Below("Tessaline\\Dominarch\\Install")));
    EXPECT_TRUE(key.IsOpen());
    for (const char* level :
         {"Tessaline", "Tessaline\\Dominarch", "Tessaline\\Dominarch\\Install"}) {
        RegistryKey opened;
        EXPECT_TRUE(opened.Open(kRoot, Below(level), RegistryAccess::kAll)) << level;
    }
    // Create opens an existing key without losing what it holds.
    ASSERT_TRUE(key.SetString("Path", "C:\\Games\\Dominarch"));
    RegistryKey again;
    ASSERT_TRUE(again.Create(kRoot, Below("Tessaline\\Dominarch\\Install")));
    std::string value;
    EXPECT_TRUE(again.QueryString("Path", &value));
    EXPECT_EQ(value, "C:\\Games\\Dominarch");
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCase) {
    RegistryKey writer;
    ASSERT_TRUE(writer.Create(kRoot, Below("Dominarch\\Install")));
    ASSERT_TRUE(writer.SetString("Language", "English"));
    RegistryKey reader;
    ASSERT_TRUE(reader.Open(kRoot, Below("DOMINARCH\\INSTALL"), RegistryAccess::kAll));
    std::string value;
    EXPECT_TRUE(reader.QueryString("LANGUAGE", &value));
    EXPECT_EQ(value, "English");
    ASSERT_TRUE(reader.SetString("language", "German"));  // overwrites the same value
    EXPECT_TRUE(writer.QueryString("Language", &value));
    EXPECT_EQ(value, "German");
}

TEST_F(RegistryTest, StringsRoundTripWithoutATerminatingNul) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(kRoot, kTestKey));
    const std::string folder = "C:\\Program Files\\Dominarch";
    ASSERT_TRUE(key.SetString("Path", folder));
    ASSERT_TRUE(key.SetString("Empty", ""));
    std::string stored;
    ASSERT_TRUE(platform_test::GetRawValue(kRoot, kTestKey, "Path", &stored));
#ifdef _WIN32
    // The byte count passed is the length; NT itself adds a NUL when the caller's buffer has one
    // right after the counted bytes, as a std::string always does.
    EXPECT_TRUE(stored == folder || stored == folder + '\0') << stored;
#else
    EXPECT_EQ(stored, folder);  // the byte count is the length: no NUL stored
#endif
    std::string value = "previous";
    EXPECT_TRUE(key.QueryString("Path", &value));
    EXPECT_EQ(value, folder);
    EXPECT_TRUE(key.QueryString("Empty", &value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(key.QueryString("Missing", &value));
}

struct CapacityCase {
    uint32_t capacity;
    bool found;
};

class CapacityTable : public RegistryTest, public ::testing::WithParamInterface<CapacityCase> {};

TEST_P(CapacityTable, AValueLargerThanTheBufferIsNotRead) {
    if (!platform_test::RegistryKeepsRawBytesAndChecksAccess()) {
        GTEST_SKIP() << "this registry stores strings up to their NUL and checks no access";
    }
    ASSERT_TRUE(platform_test::SetRawValue(kRoot, kTestKey, "Ten", "0123456789"));  // no NUL
    RegistryKey key;
    ASSERT_TRUE(key.Open(kRoot, kTestKey, RegistryAccess::kQueryValue));
    std::string value = "untouched";
    EXPECT_EQ(key.QueryString("Ten", &value, GetParam().capacity), GetParam().found);
    EXPECT_EQ(value, GetParam().found ? "0123456789" : "untouched");
}

INSTANTIATE_TEST_SUITE_P(Registry, CapacityTable,
                         ::testing::Values(CapacityCase{0, false}, CapacityCase{5, false},
                                           CapacityCase{9, false}, CapacityCase{0xFFFFFFFFu, true},
                                           CapacityCase{10, true}, CapacityCase{11, true},
                                           CapacityCase{260, true}));

TEST_F(RegistryTest, ReadersStopAtTheFirstNulAndNeverRunPastTheBytes) {
    if (!platform_test::RegistryKeepsRawBytesAndChecksAccess()) {
        GTEST_SKIP() << "this registry stores strings up to their NUL and checks no access";
    }
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"Unterminated", std::string("abc"), "abc"},
        {"Terminated", std::string("abc\0", 4), "abc"},
        {"InnerNul", std::string("ab\0cd", 5), "ab"},
        {"OnlyNul", std::string("\0", 1), ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(platform_test::SetRawValue(kRoot, kTestKey, c.name, c.bytes)) << c.name;
    }
    RegistryKey key;
    ASSERT_TRUE(key.Open(kRoot, kTestKey, RegistryAccess::kQueryValue));
    for (const Case& c : cases) {
        std::string value;
        EXPECT_TRUE(key.QueryString(c.name, &value)) << c.name;
        EXPECT_EQ(value, c.expected) << c.name;
    }
}

TEST_F(RegistryTest, QueryAccessReadsButDoesNotWrite) {
    if (!platform_test::RegistryKeepsRawBytesAndChecksAccess()) {
        GTEST_SKIP() << "this registry stores strings up to their NUL and checks no access";
    }
    RegistryKey writer;
    ASSERT_TRUE(writer.Create(kRoot, kTestKey));
    ASSERT_TRUE(writer.SetString("Name", "value"));
    RegistryKey reader;
    ASSERT_TRUE(reader.Open(kRoot, kTestKey, RegistryAccess::kQueryValue));
    std::string value;
    EXPECT_TRUE(reader.QueryString("Name", &value));
    EXPECT_FALSE(reader.SetString("Name", "changed"));
    EXPECT_TRUE(writer.QueryString("Name", &value));
    EXPECT_EQ(value, "value");
}

TEST_F(RegistryTest, SubkeysAreCreatedAndCounted) {
    RegistryKey company;
    ASSERT_TRUE(company.Create(kRoot, Below("Tessaline")));
    uint32_t count = 99;
    EXPECT_TRUE(company.QuerySubkeyCount(&count));
    EXPECT_EQ(count, 0u);

    RegistryKey product;
    ASSERT_TRUE(company.CreateSubkey("Dominarch", &product));
    ASSERT_TRUE(product.SetString("DisplayName", "Dominarch"));
    RegistryKey other;
    ASSERT_TRUE(company.CreateSubkey("Other\\Deeper", &other));
    RegistryKey same;
    ASSERT_TRUE(company.CreateSubkey("DOMINARCH", &same));  // opens the existing one
    EXPECT_TRUE(company.QuerySubkeyCount(&count));
    EXPECT_EQ(count, 2u);

    std::string value;
    EXPECT_TRUE(same.QueryString("DisplayName", &value));
    EXPECT_EQ(value, "Dominarch");
}

TEST_F(RegistryTest, DeleteTreeRemovesTheKeyWithEverythingBelowIt) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(kRoot, Below("Tessaline\\Dominarch\\Install")));
    ASSERT_TRUE(key.SetString("Path", "C:\\x"));
    ASSERT_TRUE(key.Create(kRoot, Below("Tessaline\\Dominarch\\Other\\Deep")));
    ASSERT_TRUE(key.Create(kRoot, Below("Tessaline\\Keep")));
    key.Close();

    EXPECT_TRUE(DeleteRegistryTree(kRoot, Below("tessaline\\DOMINARCH")));
    RegistryKey probe;
    EXPECT_FALSE(probe.Open(kRoot, Below("Tessaline\\Dominarch"), RegistryAccess::kQueryValue));
    EXPECT_FALSE(
        probe.Open(kRoot, Below("Tessaline\\Dominarch\\Install"), RegistryAccess::kQueryValue));
    ASSERT_TRUE(probe.Open(kRoot, Below("Tessaline"), RegistryAccess::kQueryValue));
    uint32_t count = 0;
    EXPECT_TRUE(probe.QuerySubkeyCount(&count));
    EXPECT_EQ(count, 1u);

    EXPECT_FALSE(DeleteRegistryTree(kRoot, Below("Tessaline\\Dominarch")));
    EXPECT_FALSE(DeleteRegistryTree(kRoot, Below("Missing\\Deeper")));
}

TEST_F(RegistryTest, AKeyDeletedWhileOpenFailsInsteadOfComingBack) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(kRoot, Below("Gone")));
    ASSERT_TRUE(DeleteRegistryTree(kRoot, Below("Gone")));
    std::string value;
    EXPECT_FALSE(key.QueryString("Path", &value));
    EXPECT_FALSE(key.SetString("Path", "x"));
    RegistryKey probe;
    EXPECT_FALSE(probe.Open(kRoot, Below("Gone"), RegistryAccess::kQueryValue));
}

TEST_F(RegistryTest, MovedKeysKeepOneOwner) {
    RegistryKey first;
    ASSERT_TRUE(first.Create(kRoot, kTestKey));
    RegistryKey second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    EXPECT_TRUE(second.IsOpen());
    RegistryKey third;
    third = std::move(second);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_TRUE(third.SetString("Name", "value"));
    third.Close();
    EXPECT_FALSE(third.IsOpen());
    std::string value;
    EXPECT_FALSE(third.QueryString("Name", &value));
}

TEST_F(RegistryTest, RootsAreSeparate) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(kRoot, kTestKey));
    RegistryKey probe;
    EXPECT_FALSE(probe.Open(RegistryRoot::kLocalMachine, kTestKey, RegistryAccess::kQueryValue));
}

}  // namespace
