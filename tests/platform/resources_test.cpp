// Finding the program's own resources by type name (any case) and id.

#include <gtest/gtest.h>

#include <string>

#include "platform/resources.h"
#include "tests/platform/test_resource.h"

namespace {

using platform::FindOwnResource;
using platform::ResourceBytes;
using platform_test::kTestResourceBytes;
using platform_test::kTestResourceId;

std::string Text(const ResourceBytes& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data), bytes.size);
}

TEST(Resources, FoundByTypeNameInAnyCase) {
    for (const char* type : {"TESTRES", "testres", "TestRes"}) {
        ResourceBytes bytes;
        ASSERT_TRUE(FindOwnResource(type, kTestResourceId, &bytes)) << type;
        EXPECT_EQ(Text(bytes), kTestResourceBytes) << type;
    }
}

TEST(Resources, MissingTypeOrIdIsNotFound) {
    ResourceBytes bytes;
    EXPECT_FALSE(FindOwnResource("TESTRES", kTestResourceId + 1, &bytes));
    EXPECT_FALSE(FindOwnResource("NOSUCHTYPE", kTestResourceId, &bytes));
    EXPECT_FALSE(FindOwnResource("TESTRE", kTestResourceId, &bytes));
}

}  // namespace
