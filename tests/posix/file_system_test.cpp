// Reading and replacing real files the way the program's settings, language
// files and pages are read and written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "core/file_io.h"
#include "lang/translation_page.h"
#include "platform/file_system.h"
#include "platform/sim/sim_platform.h"
#include "tests/posix/unprivileged.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

const char* StatusName(ReadStatus status) {
    static const char* const kNames[] = {"read", "missing", "unreadable", "too large"};
    return kNames[static_cast<int>(status)];
}

const char* StatusName(WriteStatus status) {
    static const char* const kNames[] = {"replaced", "written in place", "read-only",
                                         "temporary taken", "failed"};
    return kNames[static_cast<int>(status)];
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(FileSystemTest, OnlyRegularFilesUpToTheLimitAreRead) {
    constexpr std::size_t kLimit = 64;
    struct Case {
        const char* what;
        std::function<void(const std::string& path, const std::string& folder)> make;
        ReadStatus status;
        std::size_t bytes;
        const char* name = "file";  // the path read, in the test's folder
    } cases[] = {
        {"a small file", [](auto& p, auto&) { WriteFile(p, "abc"); }, ReadStatus::Read, 3},
        {"an empty file", [](auto& p, auto&) { WriteFile(p, ""); }, ReadStatus::Read, 0},
        {"exactly the limit", [](auto& p, auto&) { WriteFile(p, std::string(kLimit, 'x')); },
         ReadStatus::Read, kLimit},
        {"one byte past the limit",
         [](auto& p, auto&) { WriteFile(p, std::string(kLimit + 1, 'x')); }, ReadStatus::TooLarge,
         0},
        {"nothing there", [](auto&, auto&) {}, ReadStatus::Missing, 0},
        {"a file where a folder should be", [](auto&, auto& f) { WriteFile(f + "/name", "x"); },
         ReadStatus::Missing, 0, "name/x"},
        {"a folder", [](auto& p, auto&) { fs::create_directories(p); }, ReadStatus::Unreadable, 0},
        // Opening a pipe for reading would wait for a writer for ever.
        {"a pipe", [](auto& p, auto&) { ::mkfifo(p.c_str(), 0644); }, ReadStatus::Unreadable, 0},
        {"a link to an endless device", [](auto& p, auto&) { fs::create_symlink("/dev/zero", p); },
         ReadStatus::Unreadable, 0},
        {"a link to a file",
         [](auto& p, auto& f) {
             WriteFile(f + "/target", "linked");
             fs::create_symlink(f + "/target", p);
         },
         ReadStatus::Read, 6},
        {"a dangling link", [](auto& p, auto& f) { fs::create_symlink(f + "/none", p); },
         ReadStatus::Missing, 0},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = folder.File(c.name);
        c.make(path, folder.Path());
        const ReadResult result = ReadRegularFile(path, kLimit, true);
        EXPECT_STREQ(StatusName(result.status), StatusName(c.status)) << c.what;
        EXPECT_EQ(result.bytes.size(), c.bytes) << c.what;
    }
}

TEST(FileSystemTest, AFileThisUserMayNotReadIsUnreadable) {
    TempFolder folder;
    const std::string path = folder.File("secret");
    WriteFile(path, "secret");
    ::chmod(path.c_str(), 0200);
    testing::GiveToUnprivilegedUser(folder.Path());
    EXPECT_EQ(testing::RunUnprivileged(
                  [&] { return std::string(StatusName(ReadRegularFile(path, 100, true).status)); }),
              "unreadable");
}

struct WriteCase {
    const char* what;
    // Prepares the folder and the file; runs as root when the tests do.
    std::function<void(const std::string& folder, const std::string& path)> prepare;
    // Whether the write runs as an unprivileged user.
    bool unprivileged;
    // Whether the case needs a file of another user, which only root can make.
    bool anotherOwner;
    WriteStatus status;
    const char* content;  // the file afterwards
    mode_t mode;          // the file's mode afterwards
};

void Existing(const std::string& path, const char* content, mode_t mode) {
    WriteFile(path, content);
    ::chmod(path.c_str(), mode);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

TEST(FileSystemTest, WritesKeepModeAndOwnerAndNeverHalfAFile) {
    const WriteCase cases[] = {
        {"a new file", [](auto&, auto&) {}, false, false, WriteStatus::Replaced, "new text",
         NewFileMode()},
        {"a private file stays private",
         [](auto&, auto& p) { Existing(p, "old text and more", 0600); }, false, false,
         WriteStatus::Replaced, "new text", 0600},
        {"a shared file stays shared", [](auto&, auto& p) { Existing(p, "old", 0664); }, false,
         false, WriteStatus::Replaced, "new text", 0664},
        {"a read-only file is left alone", [](auto&, auto& p) { Existing(p, "old", 0444); }, false,
         false, WriteStatus::ReadOnly, "old", 0444},
        {"a read-only file of a user is left alone",
         [](auto& f, auto& p) {
             Existing(p, "old", 0444);
             testing::GiveToUnprivilegedUser(f);
             testing::GiveToUnprivilegedUser(p);
         },
         true, false, WriteStatus::ReadOnly, "old", 0444},
        {"someone else's file this user may not write",
         [](auto& f, auto& p) {
             Existing(p, "old", 0644);
             testing::GiveToUnprivilegedUser(f);
         },
         true, true, WriteStatus::ReadOnly, "old", 0644},
        {"a writable file in a folder that takes no new file is written in place",
         [](auto& f, auto& p) {
             Existing(p, "a longer old text", 0640);
             testing::GiveToUnprivilegedUser(p);
             ::chmod(f.c_str(), 0555);
         },
         true, false, WriteStatus::WrittenInPlace, "new text", 0640},
        {"a shorter file in such a folder grows in place",
         [](auto& f, auto& p) {
             Existing(p, "old", 0600);
             testing::GiveToUnprivilegedUser(p);
             ::chmod(f.c_str(), 0555);
         },
         true, false, WriteStatus::WrittenInPlace, "new text", 0600},
        {"root replacing a user's file keeps its owner",
         [](auto&, auto& p) {
             Existing(p, "old", 0640);
             testing::GiveToUnprivilegedUser(p);
         },
         false, true, WriteStatus::Replaced, "new text", 0640},
        {"a file of another owner that this user may write keeps its owner",
         [](auto& f, auto& p) {
             Existing(p, "old", 0666);
             testing::GiveToUnprivilegedUser(f);
         },
         true, true, WriteStatus::WrittenInPlace, "new text", 0666},
        {"a folder in the way", [](auto&, auto& p) { fs::create_directories(p + "/inner"); }, false,
         false, WriteStatus::Failed, "", 0},
    };
    for (const WriteCase& c : cases) {
        if (c.anotherOwner && !testing::RunningAsRoot()) continue;
        TempFolder folder;
        const std::string path = folder.File("Gimbalo.ini");
        const std::string temporary = path + ".tmp000001";
        c.prepare(folder.Path(), path);
        struct stat before {};
        ::stat(path.c_str(), &before);
        const auto write = [&] {
            return std::string(
                StatusName(WriteFileThroughTemporary(path, temporary, "new text", true)));
        };
        const std::string status = c.unprivileged ? testing::RunUnprivileged(write) : write();
        ::chmod(folder.Path().c_str(), 0755);
        EXPECT_EQ(status, StatusName(c.status)) << c.what;
        EXPECT_FALSE(fs::exists(temporary)) << c.what << ": no temporary file stays";
        if (c.status == WriteStatus::Failed) continue;
        EXPECT_EQ(ReadFile(path), c.content) << c.what;
        EXPECT_EQ(ModeOf(path), c.mode) << c.what;
        if (before.st_ino != 0) {
            struct stat after {};
            ::stat(path.c_str(), &after);
            EXPECT_EQ(after.st_uid, before.st_uid) << c.what << ": owner";
            EXPECT_EQ(after.st_gid, before.st_gid) << c.what << ": group";
        }
    }
}

TEST(FileSystemTest, ATakenTemporaryNameIsLeftToItsWriter) {
    TempFolder folder;
    const std::string path = folder.File("Gimbalo.ini");
    WriteFile(path, "old");
    WriteFile(path + ".tmp000001", "someone else's");
    EXPECT_EQ(WriteFileThroughTemporary(path, path + ".tmp000001", "new", true),
              WriteStatus::TemporaryTaken);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(ReadFile(path + ".tmp000001"), "someone else's");
}

TEST(FileSystemTest, ASaveRemovesOnlyTheTemporaryFilesOfItsOwnFile) {
    TempFolder folder;
    const std::string path = folder.File("Gimbalo.ini");
    const char* stale[] = {"Gimbalo.ini.tmp123456", "Gimbalo.ini.tmp7", "Gimbalo.ini.tmp000000"};
    const char* kept[] = {"Gimbalo.ini.tmp",        "Gimbalo.ini.tmp1234567",
                          "Gimbalo.ini.tmp12a",     "Gimbalo.ini.tmpfile",
                          "Other.ini.tmp123456",    "Invia_Traduzione.html.tmp123456",
                          "xGimbalo.ini.tmp123456", "Gimbalo.ini.bak"};
    for (const char* name : stale) WriteFile(folder.File(name), "left by a killed save");
    for (const char* name : kept) WriteFile(folder.File(name), "not ours");
    fs::create_directories(folder.File("Gimbalo.ini.tmp999999"));  // a folder: not ours either

    ASSERT_TRUE(ReplaceFile(path, "saved", true));
    EXPECT_EQ(ReadFile(path), "saved");
    for (const char* name : stale) EXPECT_FALSE(fs::exists(folder.File(name))) << name;
    for (const char* name : kept) EXPECT_EQ(ReadFile(folder.File(name)), "not ours") << name;
    EXPECT_TRUE(fs::is_directory(folder.File("Gimbalo.ini.tmp999999")));
}

// Killed at any moment of a save, the program leaves the old file or the new
// one, never a mix; what a killed save left beside it goes at the next save.
TEST(FileSystemTest, KillsDuringSavesLeaveTheOldOrTheNewFile) {
    TempFolder folder;
    const std::string path = folder.File("Gimbalo.ini");
    const std::string texts[] = {std::string(3000, 'a') + "\r\n", std::string(5000, 'b') + "\r\n"};
    ASSERT_TRUE(ReplaceFile(path, texts[0], true));
    std::mt19937 random(7);
    int leftovers = 0;
    for (int kill = 0; kill < 100; ++kill) {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            for (unsigned i = 0;; ++i) ReplaceFile(path, texts[i % 2], true);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
        const std::string text = ReadFile(path);
        ASSERT_TRUE(text == texts[0] || text == texts[1]) << "kill " << kill << ": " << text.size();
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            leftovers += IsTemporaryFileName(entry.path().filename().string(), "Gimbalo.ini");
    }
    ASSERT_TRUE(ReplaceFile(path, texts[0], true));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.Path())) ++entries;
    EXPECT_EQ(entries, 1) << leftovers << " temporary files were left by the kills";
}

// A settings file kept elsewhere and linked into place: the save reaches the
// file, and the link stays. A link that leads nowhere is replaced by the file.
// The translation page replaces a link of its name and never writes what it
// leads to, also where the folder takes no new file (nothing is written).
TEST(FileSystemTest, ASaveThroughASymbolicLinkReplacesTheFileItLeadsTo) {
    testing::TempFolder folder;
    const std::string target = folder.File("dotfiles/Gimbalo.ini");
    const std::string link = folder.File("Gimbalo.ini");
    testing::WriteFile(target, "old");
    std::filesystem::create_symlink("dotfiles/Gimbalo.ini", link);
    ASSERT_TRUE(ReplaceFile(link, "new", true, LinkAtPath::Followed));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(testing::ReadFile(target), "new");

    const std::string dangling = folder.File("dangling.ini");
    std::filesystem::create_symlink("nowhere/Gimbalo.ini", dangling);
    ASSERT_TRUE(ReplaceFile(dangling, "made", true, LinkAtPath::Followed));
    EXPECT_FALSE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(testing::ReadFile(dangling), "made");

    const std::string pages = folder.File("pages"), page = pages + "/Invia_Traduzione.html";
    for (const bool folderWritable : {false, true}) {
        fs::create_directories(pages);
        fs::create_symlink("../dotfiles/Gimbalo.ini", page);
        testing::GiveToUnprivilegedUser(pages);
        ::chmod(pages.c_str(), folderWritable ? 0755 : 0555);
        const std::string written = testing::RunUnprivileged([&] {
            SimPlatform sim(pages);
            return std::string(WriteTranslationPage(sim) ? "y" : "n");
        });
        ::chmod(pages.c_str(), 0755);
        EXPECT_EQ(written, folderWritable ? "y" : "n");
        EXPECT_EQ(fs::is_symlink(page), !folderWritable);
        EXPECT_EQ(testing::ReadFile(target), "new");
        fs::remove(page);
    }
}

}  // namespace
}  // namespace gimbalo
