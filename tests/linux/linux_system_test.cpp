// Locale, the single-instance lock, folders and file tests on Linux.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QLockFile>
#include <QSysInfo>
#include <filesystem>
#include <fstream>

#include "linux_test_support.h"
#include "test_support.h"

namespace gimbalo {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;
using testing::TestPlatform;

// A runtime folder of the test's own, so no running copy interferes.
struct PrivateRuntimeFolder {
    PrivateRuntimeFolder() : env("XDG_RUNTIME_DIR", folder.Path()) {
        chmod(folder.Path().c_str(), 0700);
    }
    TempFolder folder;
    ScopedEnv env;
};

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

TEST(LinuxSystem, ALiveLockMeansAnotherCopyIsRunning) {
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
    PrivateRuntimeFolder runtime;
    std::string error;
    {
        // Held as a running copy holds it: by a process that is alive.
        QLockFile running(QString::fromStdString(runtime.folder.File("gimbalo.lock")));
        ASSERT_TRUE(running.tryLock(0));
        auto second = TestPlatform::Create(error);
        ASSERT_TRUE(second) << error;
        EXPECT_TRUE(second->AnotherInstanceRunning());
        EXPECT_TRUE(second->AnotherInstanceRunning()) << "asking again changes nothing";
    }
    {
        auto first = TestPlatform::Create(error);
        ASSERT_TRUE(first) << error;
        EXPECT_FALSE(first->AnotherInstanceRunning());
        QLockFile next(QString::fromStdString(runtime.folder.File("gimbalo.lock")));
        EXPECT_FALSE(next.tryLock(0)) << "the platform holds the lock while it lives";
    }
    QLockFile after(QString::fromStdString(runtime.folder.File("gimbalo.lock")));
    EXPECT_TRUE(after.tryLock(0)) << "the lock goes with the platform";
}

TEST(LinuxSystem, OnlyOnePlatformPerProcess) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    std::string error;
    EXPECT_FALSE(TestPlatform::Create(error));
    EXPECT_FALSE(error.empty());
}

TEST(LinuxSystem, ALockLeftByAKilledCopyDoesNotBlockTheNextStart) {
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
    PrivateRuntimeFolder runtime;
    // A process that has ended leaves its lock behind, as a killed copy does.
    const pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    {
        std::ofstream lock(runtime.folder.File("gimbalo.lock"));
        lock << gone << "\ngimbalo\n" << QSysInfo::machineHostName().toStdString() << "\n";
    }
    std::string error;
    auto platform = TestPlatform::Create(error);
    ASSERT_TRUE(platform) << error;
    EXPECT_FALSE(platform->AnotherInstanceRunning());
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
