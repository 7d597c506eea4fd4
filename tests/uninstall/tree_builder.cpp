#include "tests/uninstall/tree_builder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "tests/platform/test_folder.h"

namespace uninstall_test {

namespace {

void ListInto(const std::string& folder, const std::string& prefix, std::vector<std::string>* out) {
    platform::FolderLister lister;
    if (!lister.Open(folder)) {
        return;
    }
    platform::FolderEntry entry;
    while (lister.Next(&entry)) {
        if (entry.name == "." || entry.name == "..") {
            continue;
        }
        const std::string relative = prefix + entry.name;
        if (entry.is_folder && !entry.is_link) {
            out->push_back(relative + "/");
            ListInto(platform::JoinPath(folder, entry.name), relative + "/", out);
        } else {
            out->push_back(relative);
        }
    }
}

}  // namespace

std::string PathIn(const std::string& root, const std::string& relative) {
    std::string native = relative;
    if (!native.empty() && native.back() == '/') {
        native.pop_back();
    }
    std::replace(native.begin(), native.end(), '/', platform::kPathSeparator);
    return platform::JoinPath(root, native);
}

void MakeTree(const std::string& root, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        const std::string path = PathIn(root, entry);
        if (entry.back() == '/') {
            EXPECT_EQ(platform::CreateFolder(path), platform::FsError::kOk) << path;
        } else {
            EXPECT_TRUE(platform_test::WriteFile(path, entry)) << path;
        }
    }
}

std::vector<std::string> ListTree(const std::string& root) {
    std::vector<std::string> out;
    ListInto(root, "", &out);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace uninstall_test
