#pragma once

// The resource every resources test program carries: type "TESTRES", id 7. The win32 build embeds
// it from test_resource.rc; natively test_resource_posix.cpp registers the same bytes.

#include <string>

namespace platform_test {

inline constexpr char kTestResourceType[] = "TESTRES";
inline constexpr unsigned kTestResourceId = 7;
inline const std::string kTestResourceBytes("dominarch test resource\0\x01\xff", 26);

}  // namespace platform_test
