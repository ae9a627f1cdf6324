// The built program, run as a user would run it.
#include <filesystem>
#include <string>
#include <vector>

#include "linux_test_support.h"
#include "replay_child.h"
#include "test_joystick.h"
#include "test_support.h"

namespace gimbalo {
namespace {

// Without a display it answers help and version, and says in one line what
// else is wrong.
TEST(GimbaloExecutable, WithoutADisplayAnswersHelpAndVersionAndSaysWhatIsWrong) {
    const std::string version = "gimbalo " GIMBALO_VERSION_TEXT "\n";
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string outStart;  // the standard output begins with this
        std::string err;
    };
    const Case cases[] = {
        {{}, 1, "", "gimbalo: cannot open the X display; is DISPLAY set?\n"},
        {{"--help"}, 0, "usage: gimbalo [--pointer=uinput|xtest] [--help | --version]\n", ""},
        {{"-h"}, 0, "usage: gimbalo [--pointer=uinput|xtest] [--help | --version]\n", ""},
        {{"--version"}, 0, version + "Copyright 2026 the Gimbalo developers\n", ""},
        // The first argument decides.
        {{"--version", "--bogus"}, 0, version, ""},
        {{"--bogus", "--help"}, 2, "", "gimbalo: unknown option '--bogus' (try gimbalo --help)\n"},
        {{"-x"}, 2, "", "gimbalo: unknown option '-x' (try gimbalo --help)\n"},
        {{"--help=all"}, 2, "", "gimbalo: unknown option '--help=all' (try gimbalo --help)\n"},
        {{"Italiano.lng"},
         2,
         "",
         "gimbalo: unexpected argument 'Italiano.lng' (try gimbalo --help)\n"},
        {{"-"}, 2, "", "gimbalo: unexpected argument '-' (try gimbalo --help)\n"},
        {{"--pointer=uinput"},
         1,
         "",
         "gimbalo: cannot reach the desktop; is WAYLAND_DISPLAY or DISPLAY set?\n"},
        {{"--pointer=xtest"}, 1, "", "gimbalo: cannot open the X display; is DISPLAY set?\n"},
        {{"--pointer=mouse"},
         2,
         "",
         "gimbalo: --pointer takes uinput or xtest, not 'mouse' (try gimbalo --help)\n"},
    };
    testing::TempFolder folder;
    for (const Case& c : cases) {
        const std::string shown = c.arguments.empty() ? "(nothing)" : c.arguments.front();
        testing::ReplayChild run(GIMBALO_EXECUTABLE, c.arguments, folder.Path(), folder.Path(),
                                 {"DISPLAY"});
        EXPECT_EQ(run.Wait(), c.status) << shown;
        EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart) << shown;
        EXPECT_EQ(run.out.empty(), c.outStart.empty()) << shown;
        EXPECT_EQ(run.err, c.err) << shown;
    }
}

// The no-joystick message waits in its box for the user; the terminal has it
// at once, in one line and in the language the settings name.
TEST(GimbaloExecutable, WithoutAJoystickItSaysWhyOnTheTerminalInTheSettingsLanguage) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    SKIP_WITH_A_REAL_JOYSTICK();
    struct Case {
        std::string language;
        std::string line;
    };
    const Case cases[] = {
        {"Italiano.lng",
         "gimbalo: Non è stato trovato nessun joystick o gamepad utilizzabile. Collegane uno e "
         "avvia di nuovo Gimbalo.\n"},
        {"English.lng",
         "gimbalo: No usable joystick or gamepad was found. Connect one and start Gimbalo "
         "again.\n"},
    };
    for (const Case& c : cases) {
        testing::TempFolder config;
        testing::TempFolder runtime;
        std::filesystem::permissions(runtime.Path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        testing::WriteFile(config.File("gimbalo/Gimbalo.ini"),
                           "1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\n" + c.language + "\r\n");
        testing::ReplayChild child(GIMBALO_EXECUTABLE, {}, config.Path(), runtime.Path());
        ASSERT_TRUE(child.Started());
        EXPECT_TRUE(child.WaitForError([](const std::string& err) {
            return err.find('\n') != std::string::npos;
        })) << c.language;
        EXPECT_EQ(child.err, c.line) << c.language;
    }
}

}  // namespace
}  // namespace gimbalo
