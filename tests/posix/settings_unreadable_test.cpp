// A settings file that is there but cannot be read: the program runs on the
// defaults, and the user's file and autostart entry stay as they are until
// the user saves on purpose.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/program.h"
#include "core/file_io.h"
#include "options/frm_opzioni.h"
#include "platform/sim/sim_platform.h"
#include "tests/forms_fixture.h"
#include "tests/posix/unprivileged.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsersFile = "4\r\n5\r\n6\r\n1.5\r\n0\r\n0\r\n0\r\nItaliano.lng\r\n";

// The file as it stands on disk: kind, mode, size, identity and the time of
// its last change, so that a replacement or a write in place both show.
std::string Snapshot(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return "nothing";
    return std::to_string(info.st_mode) + ":" + std::to_string(info.st_size) + ":" +
           std::to_string(info.st_ino) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

struct Case {
    const char* what;
    std::function<void(const std::string& path)> make;
    bool unprivileged;  // the mode only keeps a user out, not root
    bool explicitSaveWrites;
};

const Case kCases[] = {
    {"a folder", [](const std::string& p) { fs::create_directories(p); }, false, false},
    {"a pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); }, false, false},
    {"a file longer than the program reads",
     [](const std::string& p) {
         testing::WriteFile(p, kUsersFile + std::string(kMaxFileBytes, ' '));
     },
     false, true},
    {"UTF-16 without its byte-order mark",
     [](const std::string& p) { testing::WriteFile(p, std::string("4\0\r\0\n\0", 6)); }, false,
     true},
    {"a NUL byte in a line",
     [](const std::string& p) { testing::WriteFile(p, std::string("4\r\n5\0\r\n", 7)); }, false,
     true},
    {"a file the user may not read",
     [](const std::string& p) {
         testing::WriteFile(p, kUsersFile);
         ::chmod(p.c_str(), 0200);
     },
     true, true},
};

// Start and exit, then a start with an explicit save; what went wrong,
// gathered as text, as a child process can report it.
std::string RunProgram(const std::string& folder, const std::string& settings,
                       const std::string& before, bool explicitSaveWrites) {
    std::string found;
    const auto expect = [&found](bool holds, const char* what) {
        if (!holds) found += std::string(what) + "; ";
    };
    {
        SimPlatform sim(folder);
        sim.AddJoystick("Pad", 4);
        Program program(sim);
        program.Start();
        expect(!sim.ProgramEnded(), "the program runs");
        expect(program.settings.LeftButton == 1 && program.settings.StartWithWindows == 1,
               "the defaults apply");
        expect(program.mainWindow.optionsItem.Caption() == "E7", "the country chose the language");
        expect(program.mainWindow.pollingTimer.Interval() == 5, "the buttons work");
        program.RunMenuCommand("mnuExit");
        expect(sim.autostart.empty(), "no autostart entry written at start or exit");
        expect(Snapshot(settings) == before, "the file is untouched after the exit");
    }
    {
        SimPlatform sim(folder);
        sim.AddJoystick("Pad", 4);
        Program program(sim);
        program.Start();
        frmOpzioni& options = program.LoadOptionsDialog();
        options.speedList.UserType("3");
        options.okButton.UserClick();
        const bool written = Snapshot(settings) != before;
        expect(written == explicitSaveWrites, "OK writes a file it can replace");
        // From now on the file is the user's choice, and the exit keeps it up
        // to date.
        program.settings.JoystickIndex = 1;
        program.RunMenuCommand("mnuExit");
    }
    return found;
}

TEST(SettingsUnreadableTest, TheFileAndTheAutostartEntryWaitForTheUsersSave) {
    for (const Case& c : kCases) {
        testing::TempFolder folder;
        testing::WriteFile(folder.File("Lang/English.lng"), testing::LanguageFileText("E"));
        const std::string settings = folder.File("Gimbalo.ini");
        c.make(settings);
        const std::string before = Snapshot(settings);
        std::string found;
        if (c.unprivileged) {
            testing::GiveToUnprivilegedUser(folder.Path());
            testing::GiveToUnprivilegedUser(settings);
            found = testing::RunUnprivileged(
                [&] { return RunProgram(folder.Path(), settings, before, c.explicitSaveWrites); });
        } else {
            found = RunProgram(folder.Path(), settings, before, c.explicitSaveWrites);
        }
        EXPECT_EQ(found, "") << c.what;
        if (c.explicitSaveWrites) {
            EXPECT_EQ(testing::ReadFile(settings),
                      "1\r\n2\r\n3\r\n3\r\n1\r\n1\r\n1\r\nEnglish.lng\r\n")
                << c.what << ": the exit after an explicit save writes";
        }
    }
}

TEST(SettingsUnreadableTest, ALanguageChosenInTheDialogWritesTheFileACancelDoesNot) {
    testing::TempFolder folder;
    testing::WriteFile(folder.File("Lang/English.lng"),
                       testing::LanguageFileText("E", {{26, "Language..."}}));
    testing::WriteFile(folder.File("Lang/Italiano.lng"), testing::LanguageFileText("I"));
    const std::string settings = folder.File("Gimbalo.ini");
    testing::WriteFile(settings, std::string(kMaxFileBytes + 1, '1'));
    SimPlatform sim(folder.Path());
    sim.AddJoystick("Pad", 4);
    Program program(sim);
    program.Start();
    // A cancelled dialog chose nothing: the file stays.
    sim.QueueDialogAnswer(std::nullopt);
    program.RunMenuCommand("mnuLingua");
    EXPECT_EQ(testing::ReadFile(settings), std::string(kMaxFileBytes + 1, '1'));
    sim.QueueDialogAnswer(folder.File("Lang/Italiano.lng"));
    program.RunMenuCommand("mnuLingua");
    EXPECT_EQ(testing::ReadFile(settings), "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nItaliano.lng\r\n");
    EXPECT_EQ(program.mainWindow.optionsItem.Caption(), "I7");
}

}  // namespace
}  // namespace gimbalo
