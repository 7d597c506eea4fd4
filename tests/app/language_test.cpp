// The language rules over the in-memory registry: what start-up applies for a stored name, what
// ApplyLanguage stores and which resources it puts in force.

#include "app/language.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/posix/registry_store.h"

namespace {

using platform::RegistryRoot;

constexpr char kInstallKey[] = "Software\\Tessaline\\Dominarch\\INSTALL";

// Modules as a platform would hand them out; only the libraries in `present` can be loaded.
class FakeModules : public app::ResourceModules {
  public:
    explicit FakeModules(std::set<std::string> present) : present_(std::move(present)) {}

    Module Own() override { return &own_; }
    Module Load(const char* library) override {
        if (!present_.count(library)) {
            return nullptr;
        }
        loads.push_back(library);
        return const_cast<char*>(present_.find(library)->c_str());
    }
    void Free(Module module) override { freed.push_back(static_cast<const char*>(module)); }
    Module InForce() override { return in_force_; }
    void SetInForce(Module module) override { in_force_ = module; }

    bool OwnInForce() const { return in_force_ == &own_; }
    std::string LibraryInForce() const {
        return OwnInForce() ? "" : static_cast<const char*>(in_force_);
    }

    std::vector<std::string> loads;
    std::vector<std::string> freed;

  private:
    int own_ = 0;
    Module in_force_ = &own_;
    std::set<std::string> present_;
};

std::string Stored(const char* value) {
    std::string bytes;
    return platform::GetRegistryRawValue(RegistryRoot::kLocalMachine, kInstallKey, value, &bytes)
               ? bytes
               : "<missing>";
}

class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::ResetRegistry(); }
    void TearDown() override { platform::ResetRegistry(); }
};

TEST(LanguageOfStoredName, MatchesTheTableExactly) {
    EXPECT_EQ(app::LanguageOfStoredName("Hungarian"), 1);
    EXPECT_EQ(app::LanguageOfStoredName("German"), 2);
    EXPECT_EQ(app::LanguageOfStoredName("Italian"), 3);
    EXPECT_EQ(app::LanguageOfStoredName("French"), 4);
    EXPECT_EQ(app::LanguageOfStoredName("Spanish"), 5);
    for (const char* other : {"English", "german", "GERMAN", "German ", "", "Klingon"}) {
        EXPECT_EQ(app::LanguageOfStoredName(other), -1) << other;
    }
}

TEST_F(LanguageTest, TheStoredValueIsReadWithoutItsTerminatorOrBeyondIt) {
    EXPECT_EQ(app::ReadStoredLanguage(), -1);  // no key
    ASSERT_TRUE(platform::SetRegistryRawValue(RegistryRoot::kLocalMachine, kInstallKey, "Language",
                                              "German"));
    EXPECT_EQ(app::ReadStoredLanguage(), 2);
    ASSERT_TRUE(platform::SetRegistryRawValue(RegistryRoot::kLocalMachine, kInstallKey, "Language",
                                              std::string("French\0xx", 9)));
    EXPECT_EQ(app::ReadStoredLanguage(), 4);
    ASSERT_TRUE(platform::SetRegistryRawValue(RegistryRoot::kLocalMachine, kInstallKey, "Language",
                                              "FRENCH"));
    EXPECT_EQ(app::ReadStoredLanguage(), -1);
}

TEST_F(LanguageTest, AFirstStartCreatesTheKeyHoldingOnlyEnglish) {
    FakeModules modules({});
    ASSERT_TRUE(app::ApplyLanguage(app::kEnglish, modules));
    EXPECT_EQ(Stored("Language"), "English");  // no terminating NUL stored
    EXPECT_EQ(Stored("Path"), "<missing>");
    EXPECT_TRUE(modules.OwnInForce());
    EXPECT_TRUE(modules.loads.empty());
    EXPECT_TRUE(modules.freed.empty());
}

TEST_F(LanguageTest, AStoredLanguageWithoutItsLibraryFallsBackToEnglishTexts) {
    FakeModules modules({});
    ASSERT_TRUE(app::ApplyLanguage(2, modules));
    EXPECT_EQ(Stored("Language"), "German");
    EXPECT_TRUE(modules.OwnInForce());
    ASSERT_TRUE(app::ApplyLanguage(app::kEnglish, modules));
    EXPECT_EQ(Stored("Language"), "English");
    EXPECT_TRUE(modules.freed.empty());
}

TEST_F(LanguageTest, ALibraryInForceIsFreedWhenEnglishReturns) {
    FakeModules modules({"resDE.dll"});
    ASSERT_TRUE(app::ApplyLanguage(2, modules));
    EXPECT_EQ(modules.LibraryInForce(), "resDE.dll");
    ASSERT_TRUE(app::ApplyLanguage(app::kEnglish, modules));
    EXPECT_TRUE(modules.OwnInForce());
    EXPECT_EQ(modules.freed, std::vector<std::string>{"resDE.dll"});
    EXPECT_EQ(Stored("Language"), "English");
}

TEST_F(LanguageTest, SettingTheSameLanguageTwiceLoadsBeforeItFrees) {
    FakeModules modules({"resHU.dll"});
    ASSERT_TRUE(app::ApplyLanguage(1, modules));
    ASSERT_TRUE(app::ApplyLanguage(1, modules));
    EXPECT_EQ(modules.loads.size(), 2u);
    EXPECT_EQ(modules.freed.size(), 1u);
    EXPECT_EQ(modules.LibraryInForce(), "resHU.dll");
}

}  // namespace
