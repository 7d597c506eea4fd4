// The in-memory registry of the POSIX build: its test entries and its use from several threads.

#include <gtest/gtest.h>

#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "platform/thread.h"

namespace {

using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;

TEST(RegistryStore, ResetEmptiesBothRootsAndOrphansOpenKeys) {
    RegistryKey machine;
    ASSERT_TRUE(machine.Create(RegistryRoot::kLocalMachine, "Software\\Tessaline"));
    ASSERT_TRUE(machine.SetString("Name", "x"));
    ASSERT_TRUE(platform::SetRegistryRawValue(RegistryRoot::kCurrentUser, "Software", "A", "b"));

    platform::ResetRegistry();

    std::string value;
    EXPECT_FALSE(machine.QueryString("Name", &value));
    RegistryKey probe;
    EXPECT_FALSE(probe.Open(RegistryRoot::kLocalMachine, "Software", RegistryAccess::kQueryValue));
    EXPECT_FALSE(
        platform::GetRegistryRawValue(RegistryRoot::kCurrentUser, "Software", "A", &value));
}

TEST(RegistryStore, MalformedPathsAreRefused) {
    platform::ResetRegistry();
    RegistryKey key;
    for (const char* path : {"\\Software", "Software\\", "Software\\\\Tessaline"}) {
        EXPECT_FALSE(key.Create(RegistryRoot::kCurrentUser, path)) << path;
        EXPECT_FALSE(platform::DeleteRegistryTree(RegistryRoot::kCurrentUser, path)) << path;
    }
    EXPECT_FALSE(platform::DeleteRegistryTree(RegistryRoot::kCurrentUser, ""));  // a root stays
    ASSERT_TRUE(key.Create(RegistryRoot::kCurrentUser, "Software"));
    RegistryKey sub;
    EXPECT_FALSE(key.CreateSubkey("a\\\\b", &sub));
    EXPECT_FALSE(sub.IsOpen());
}

struct Writer {
    int id;
};

void WriteManyProc(void* arg) {
    const int id = static_cast<Writer*>(arg)->id;
    for (int i = 0; i < 200; ++i) {
        RegistryKey key;
        std::string path = "Software\\Load\\Key" + std::to_string(i % 7);
        if (key.Create(RegistryRoot::kLocalMachine, path)) {
            key.SetString("Writer" + std::to_string(id), std::to_string(i));
        }
        if (i % 50 == 49) {
            platform::DeleteRegistryTree(RegistryRoot::kLocalMachine, path);
        }
    }
}

TEST(RegistryStore, SeveralThreadsShareTheStore) {
    platform::ResetRegistry();
    Writer writers[3] = {{0}, {1}, {2}};
    platform::Thread threads[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(threads[i].Start(WriteManyProc, &writers[i]));
    }
    for (platform::Thread& t : threads) {
        t.Join();
    }
    // Key4 was last written at i = 193 and never deleted.
    RegistryKey key;
    ASSERT_TRUE(
        key.Open(RegistryRoot::kLocalMachine, "Software\\Load\\Key4", RegistryAccess::kAll));
    std::string value;
    for (int id = 0; id < 3; ++id) {
        EXPECT_TRUE(key.QueryString("Writer" + std::to_string(id), &value));
        EXPECT_EQ(value, "193");
    }
}

}  // namespace
