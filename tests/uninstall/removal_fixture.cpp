#include "tests/uninstall/removal_fixture.h"

#include "platform/files.h"
#include "tests/uninstall/tree_builder.h"

namespace uninstall_test {

platform::FileFault FailPath::Before(platform::FileOp op, const std::string& path) {
    if (op != op_ || path != path_ || times_ == 0) {
        return {};
    }
    --times_;
    return {error_, 0};
}

RemovalTest::RemovalTest() : game_(temp_ / "Dominarch") {
    EXPECT_TRUE(platform::GetCurrentFolder(&saved_folder_));
}

RemovalTest::~RemovalTest() {
    platform::SetFileFaultHook(nullptr);
    // Windows cannot remove the temp folder while it is the current one.
    platform::SetCurrentFolder(saved_folder_);
}

void RemovalTest::MakeGame(const std::vector<std::string>& entries) {
    ASSERT_EQ(platform::CreateFolder(game_), platform::FsError::kOk);
    MakeTree(game_, entries);
}

void RemovalTest::FailOn(platform::FileOp op, const std::string& relative, platform::FsError error,
                         int times) {
    auto fault = std::make_unique<FailPath>(op, PathIn(game_, relative), error, times);
    platform::SetFileFaultHook(fault.get());
    fault_ = std::move(fault);
}

}  // namespace uninstall_test
