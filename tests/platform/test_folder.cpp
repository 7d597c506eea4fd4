#include "tests/platform/test_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "platform/files.h"

namespace platform_test {

TestFolder::TestFolder() {
    std::string temp;
    EXPECT_TRUE(platform::GetTempFolder(&temp));
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temp + "dominarch_platform_test_" + std::to_string(random());
        if (platform::CreateFolder(candidate) == platform::FsError::kOk) {
            path_ = candidate;
            return;
        }
    }
    ADD_FAILURE() << "no test folder could be created under " << temp;
}

TestFolder::~TestFolder() {
    if (!path_.empty()) {
        RemoveTree(path_);
    }
}

std::string TestFolder::operator/(const std::string& name) const {
    return platform::JoinPath(path_, name);
}

void RemoveTree(const std::string& path) {
    platform::FolderLister lister;
    if (lister.Open(path)) {
        platform::FolderEntry entry;
        while (lister.Next(&entry)) {
            if (entry.name == "." || entry.name == "..") {
                continue;
            }
            std::string child = platform::JoinPath(path, entry.name);
            if (entry.is_folder && !entry.is_link) {
                RemoveTree(child);
            } else if (entry.is_folder) {
                platform::RemoveFolder(child);
            } else {
                platform::RemoveFile(child);
            }
        }
    }
    lister.Close();
    platform::RemoveFolder(path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

}  // namespace platform_test
