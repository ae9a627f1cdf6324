// The XDG autostart entry, in a configuration folder of the test's own.
#include <pwd.h>
#include <filesystem>

#include "app/program.h"
#include "lang/translation_page.h"
#include "linux_test_support.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/linux/xdg_config.h"
#include "test_support.h"
#include "tests/posix/unprivileged.h"

namespace gimbalo {
namespace {

using testing::ReadFile;
using testing::ScopedEnv;
using testing::TempFolder;

// The installed desktop entry's fields with `exec` as the Exec value, and the
// autostart key.
std::string Entry(const std::string& exec) {
    std::string entry = ReadFile(GIMBALO_DESKTOP_ENTRY_IN);
    const std::string placeholder = "Exec=@GIMBALO_EXEC@\n";
    const std::size_t at = entry.find(placeholder);
    if (at == std::string::npos) return "(the desktop entry has no Exec line)";
    return entry.replace(at, placeholder.size(), "Exec=" + exec + "\n") +
           "X-GNOME-Autostart-enabled=true\n";
}

TEST(XdgAutostart, ExecQuotesAndEscapesThePath) {
    struct Case {
        std::string path;
        std::string exec;  // as written in the file
    };
    const Case cases[] = {
        {"/usr/bin/gimbalo", "/usr/bin/gimbalo"},
        {"/home/anna/My Programs/gimbalo", "\"/home/anna/My Programs/gimbalo\""},
        {"/opt/100%/gimbalo", "/opt/100%%/gimbalo"},
        {"/opt/it's/gimbalo", "\"/opt/it's/gimbalo\""},
        {"/opt/a$b`c\"d/gimbalo", "\"/opt/a\\\\$b\\\\`c\\\\\"d/gimbalo\""},
        // A backslash is escaped for the quotes, then again for the file.
        {"/opt/back\\slash/gimbalo", "\"/opt/back\\\\\\\\slash/gimbalo\""},
        {"/opt/50% off/gimbalo", "\"/opt/50%% off/gimbalo\""},
        {"/opt/tab\there/gimbalo", "\"/opt/tab\\there/gimbalo\""},
    };
    for (const Case& c : cases) EXPECT_EQ(DesktopExecValue(c.path), c.exec) << c.path;
}

TEST(XdgAutostart, WriteCreatesAndReplacesTheEntryAndDeleteRemovesIt) {
    TempFolder config;
    ScopedEnv xdg("XDG_CONFIG_HOME", config.Path());
    const std::string entry = config.File("autostart/Gimbalo.desktop");

    ASSERT_TRUE(WriteXdgAutostart("Gimbalo", "/usr/bin/gimbalo"));
    EXPECT_EQ(ReadFile(entry), Entry("/usr/bin/gimbalo"));

    // The program moved to a folder with a blank: the entry follows it.
    ASSERT_TRUE(WriteXdgAutostart("Gimbalo", "/home/anna/My Programs/gimbalo"));
    EXPECT_EQ(ReadFile(entry), Entry("\"/home/anna/My Programs/gimbalo\""));
    int files = 0;
    for ([[maybe_unused]] const auto& file :
         std::filesystem::directory_iterator(config.File("autostart")))
        ++files;
    EXPECT_EQ(files, 1) << "no temporary file is left behind";

    EXPECT_TRUE(DeleteXdgAutostart("Gimbalo"));
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_FALSE(DeleteXdgAutostart("Gimbalo")) << "nothing left to delete";
}

TEST(XdgAutostart, DeletingAMissingEntryLeavesOtherEntriesAlone) {
    TempFolder config;
    ScopedEnv xdg("XDG_CONFIG_HOME", config.Path());
    testing::WriteFile(config.File("autostart/Other.desktop"), "[Desktop Entry]\n");
    EXPECT_FALSE(DeleteXdgAutostart("Gimbalo"));
    EXPECT_EQ(ReadFile(config.File("autostart/Other.desktop")), "[Desktop Entry]\n");
}

TEST(XdgAutostart, TheFolderFollowsXdgConfigHomeOrHome) {
    TempFolder home;
    ScopedEnv homeVariable("HOME", home.Path());
    struct Case {
        const char* configHome;  // nullptr: unset
        std::string folder;
    };
    const Case cases[] = {
        {nullptr, home.Path() + "/.config/autostart"},
        {"", home.Path() + "/.config/autostart"},
        {"relative/config", home.Path() + "/.config/autostart"},  // not absolute: ignored
        {"/srv/config", "/srv/config/autostart"},
    };
    for (const Case& c : cases) {
        ScopedEnv xdg("XDG_CONFIG_HOME", c.configHome != nullptr ? c.configHome : "");
        if (c.configHome == nullptr) unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(XdgAutostartFolder(), c.folder) << (c.configHome ? c.configHome : "(unset)");
    }
}

// A HOME that names no folder by its full path is not used: the home is the
// password database's, and a user without one there (nobody's is a folder
// that does not exist) gets nothing written, in / or in the working folder.
TEST(XdgAutostart, WithoutAUsableHomeTheHomeIsLookedUpOrNothingIsWritten) {
    const std::string databaseHome = getpwuid(getuid())->pw_dir;
    for (const char* home : {"(unset)", "", "relative/home", "/", "//."}) {
        ScopedEnv homeVariable("HOME", home);
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/config");
        if (home[0] == '(') unsetenv("HOME");
        if (std::filesystem::is_directory(databaseHome)) {
            EXPECT_EQ(XdgConfigHome(), databaseHome + "/.config") << home;
        }
        if (!testing::RunningAsRoot()) continue;
        TempFolder working;
        testing::GiveToUnprivilegedUser(working.Path());
        EXPECT_EQ(testing::RunUnprivileged([&] {
                      testing::TestPlatform platform;
                      Program program(platform);
                      const bool wrote = chdir(working.Path().c_str()) != 0 ||
                                         !platform.SettingsFolder().empty() ||
                                         program.SaveSettings() || WriteTranslationPage(platform) ||
                                         platform.WriteAutostart("Gimbalo", "/usr/bin/gimbalo");
                      return std::string(wrote ? "wrote" : "");
                  }),
                  "")
            << home;
        EXPECT_TRUE(std::filesystem::is_empty(working.Path())) << home;
        for (const char* name : {"/Gimbalo.ini", "/Invia_Traduzione.html", "/.config"})
            EXPECT_FALSE(std::filesystem::exists(name)) << home << ": " << name;
    }
}

TEST(XdgAutostart, ThePlatformWritesTheEntryUnderItsName) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    TempFolder config;
    ScopedEnv xdg("XDG_CONFIG_HOME", config.Path());
    ASSERT_TRUE(platform->WriteAutostart("Gimbalo", "/opt/My Gimbalo/gimbalo"));
    EXPECT_EQ(ReadFile(config.File("autostart/Gimbalo.desktop")),
              Entry("\"/opt/My Gimbalo/gimbalo\""));
    EXPECT_TRUE(platform->DeleteAutostart("Gimbalo"));
    EXPECT_FALSE(platform->DeleteAutostart("Gimbalo"));
}

}  // namespace
}  // namespace gimbalo
