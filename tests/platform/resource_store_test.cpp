// The POSIX resource store: registering, replacing and removing blocks.

#include <gtest/gtest.h>

#include "platform/resource_store.h"

namespace {

using platform::FindOwnResource;
using platform::ResourceBytes;

const uint8_t kFirst[] = {1, 2, 3};
const uint8_t kSecond[] = {9};

TEST(ResourceStore, SetReplacesAndRemoveForgets) {
    platform::SetResource("pack", 131, {kFirst, sizeof kFirst});
    platform::SetResource("PACK", 131, {kSecond, sizeof kSecond});  // the same type name
    ResourceBytes bytes;
    ASSERT_TRUE(FindOwnResource("Pack", 131, &bytes));
    EXPECT_EQ(bytes.data, kSecond);
    EXPECT_EQ(bytes.size, 1u);

    platform::SetResource("TEXT", 132, {kFirst, sizeof kFirst});
    platform::RemoveResource("pack", 131);
    EXPECT_FALSE(FindOwnResource("PACK", 131, &bytes));
    EXPECT_TRUE(FindOwnResource("text", 132, &bytes));

    platform::ClearResources();
    EXPECT_FALSE(FindOwnResource("TEXT", 132, &bytes));
    EXPECT_FALSE(FindOwnResource(nullptr, 132, &bytes));
}

}  // namespace
