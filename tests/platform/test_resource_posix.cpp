// Registers the test resource before the tests run, as the win32 build embeds it.

#include <cstdint>

#include "platform/resource_store.h"
#include "tests/platform/test_resource.h"

namespace {

const bool kRegistered = [] {
    platform::SetResource(
        platform_test::kTestResourceType, platform_test::kTestResourceId,
        {reinterpret_cast<const uint8_t*>(platform_test::kTestResourceBytes.data()),
         static_cast<uint32_t>(platform_test::kTestResourceBytes.size())});
    return true;
}();

}  // namespace
