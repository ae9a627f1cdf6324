// Locale, the single-instance lock, folders and file tests on Linux.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QLockFile>
#include <filesystem>
#include <functional>
#include <optional>

#include "linux_test_support.h"
#include "test_support.h"
#include "tests/posix/unprivileged.h"

namespace gimbalo {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;
using testing::TestPlatform;

TEST(LinuxSystem, CountryNameOfTheUsersLocale) {
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
    // Qt reads the user's locale once per process: a fresh process sees it.
    if (!testing::InTestChild()) {
        const int status = testing::RunTestInChild("LinuxSystem.CountryNameOfTheUsersLocale",
                                                   {"LC_ALL=it_IT.UTF-8"});
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        return;
    }
    std::string error;
    auto platform = TestPlatform::Create(error);
    ASSERT_TRUE(platform) << error;

    char buffer[64];
    ASSERT_EQ(platform->GetLocaleInfoA(0, LOCALE_SENGCOUNTRY, buffer, sizeof buffer), 6);
    EXPECT_STREQ(buffer, "Italy");

    char exact[6];
    EXPECT_EQ(platform->GetLocaleInfoA(0, LOCALE_SENGCOUNTRY, exact, sizeof exact), 6);
    char small[5] = "keep";
    EXPECT_EQ(platform->GetLocaleInfoA(0, LOCALE_SENGCOUNTRY, small, sizeof small), 0);
    EXPECT_STREQ(small, "keep");
    EXPECT_EQ(platform->GetLocaleInfoA(0, LOCALE_SENGCOUNTRY + 1, buffer, sizeof buffer), 0);
}

// One copy at a time, whatever another local user or an earlier copy left in
// the lock's place: the answer comes at once, a running copy (this or an
// earlier version) is told from a lock nobody holds, and what is not the
// user's own is never trusted.
TEST(LinuxSystem, OneCopyAtATimeWhateverLiesInTheLocksPlace) {
    std::optional<QLockFile> runningCopy;
    using Prepare = std::function<void(const std::string& lock, const std::string& base)>;
    const std::pair<const char*, Prepare> cases[] = {
        {"held by a running copy",
         [&](auto& lock, auto&) { runningCopy.emplace(QString::fromStdString(lock)).tryLock(0); }},
        {"left by a killed copy",
         [](auto& lock, auto&) { testing::WriteFile(lock, "12345\ngimbalo\nhost\n"); }},
        {"a pipe", [](auto& lock, auto&) { mkfifo(lock.c_str(), 0600); }},
        {"a link",
         [](auto& lock, auto& base) { symlink((base + "/tmp/x").c_str(), lock.c_str()); }},
        {"another user's file",
         [](auto& lock, auto&) {
             testing::WriteFile(lock, "");
             testing::GiveToUnprivilegedUser(lock);
         }},
        {"a runtime folder others may enter",
         [](auto&, auto& base) { chmod((base + "/runtime").c_str(), 0755); }},
        {"a relative runtime folder",
         [](auto&, auto&) { setenv("XDG_RUNTIME_DIR", "runtime", 1); }},
        {"no runtime folder, another user's in TMPDIR",
         [](auto&, auto& base) {
             setenv("XDG_RUNTIME_DIR", "", 1);
             const std::string own = base + "/tmp/gimbalo-" + std::to_string(geteuid());
             mkdir(own.c_str(), 0700);
             testing::GiveToUnprivilegedUser(own);
         }},
    };
    for (const auto& [what, prepare] : cases) {
        testing::TempFolder base;
        for (const char* folder : {"/runtime", "/tmp", "/config/gimbalo"})
            std::filesystem::create_directories(base.Path() + folder);
        chmod(base.File("runtime").c_str(), 0700);
        ScopedEnv runtime("XDG_RUNTIME_DIR", base.File("runtime"));
        ScopedEnv temporary("TMPDIR", base.File("tmp"));
        ScopedEnv config("XDG_CONFIG_HOME", base.File("config"));
        prepare(base.File("runtime/gimbalo.lock"), base.Path());
        const bool held = runningCopy.has_value();
        {
            TestPlatform first, second;
            for (const char* asked : {"", ", asked again"})
                EXPECT_EQ(first.AnotherInstanceRunning(), held) << what << asked;
            EXPECT_TRUE(second.AnotherInstanceRunning()) << what << ": a second copy";
        }
        runningCopy.reset();
        EXPECT_FALSE(TestPlatform().AnotherInstanceRunning()) << what << ": all copies ended";
        EXPECT_FALSE(std::filesystem::exists(base.File("tmp/x"))) << what;
    }
}

TEST(LinuxSystem, OnlyOnePlatformPerProcess) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    std::string error;
    EXPECT_FALSE(TestPlatform::Create(error));
    EXPECT_FALSE(error.empty());
}

TEST(LinuxSystem, SettingsFolderIsCreatedUnderXdgConfigHome) {
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
    TempFolder config;
    ScopedEnv xdg("XDG_CONFIG_HOME", config.Path() + "/deeper");
    std::string error;
    auto platform = TestPlatform::Create(error);
    ASSERT_TRUE(platform) << error;
    const std::string folder = platform->SettingsFolder();
    EXPECT_EQ(folder, config.Path() + "/deeper/gimbalo");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(LinuxSystem, FileTests) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    TempFolder folder;
    testing::WriteFile(folder.File("Gimbalo.ini"), "1\r\n");
    std::filesystem::create_directories(folder.File("Lang"));
    struct Case {
        std::string path;
        bool exists;      // FileExists
        bool attributes;  // SetFileAttributesA
    };
    const Case cases[] = {
        {folder.File("Gimbalo.ini"), true, true},
        {folder.File("Lang"), false, true},  // a folder is no file
        {folder.File("missing.txt"), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform->FileExists(c.path), c.exists) << c.path;
        EXPECT_EQ(platform->SetFileAttributesA(c.path, FILE_ATTRIBUTE_HIDDEN), c.attributes)
            << c.path;
    }
}

}  // namespace
}  // namespace gimbalo
