// One copy at a time, whatever another local user or an earlier copy left in
// the lock's place: the answer comes at once, a running copy is told from a
// lock nobody holds, and what is not the user's own is never trusted.
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "linux_test_support.h"
#include "platform/linux/instance_lock.h"
#include "test_support.h"
#include "tests/posix/unprivileged.h"

namespace gimbalo {
namespace {

using testing::ScopedEnv;

TEST(InstanceLock, OneCopyAtATimeWhateverLiesInTheLocksPlace) {
    struct Case {
        const char* what;
        bool rootOnly;  // makes another user's files
        // Puts things in place, given the runtime folder, TMPDIR and the
        // configuration home; may set `runtimeValue`.
        std::function<void(const std::string&, const std::string&, std::string&)> prepare;
        bool anotherRuns;
    };
    int runningCopy = -1;
    const auto give = [](const std::string& path) { testing::GiveToUnprivilegedUser(path); };
    const Case cases[] = {
        {"nothing there", false, [](auto&, auto&, auto&) {}, false},
        {"a lock held by a running copy", false,
         [&](const std::string& runtime, auto&, auto&) {
             runningCopy = open((runtime + "/gimbalo.lock").c_str(), O_RDONLY | O_CREAT, 0600);
             flock(runningCopy, LOCK_EX);
         },
         true},
        {"a lock left by a copy that was killed", false,
         [](const std::string& runtime, auto&, auto&) {
             testing::WriteFile(runtime + "/gimbalo.lock", "12345\ngimbalo\nhost\n");
         },
         false},
        {"a pipe in the lock's place", false,
         [](const std::string& runtime, auto&, auto&) {
             mkfifo((runtime + "/gimbalo.lock").c_str(), 0600);
         },
         false},
        {"a link in the lock's place", false,
         [](const std::string& runtime, const std::string& temporary, auto&) {
             symlink((temporary + "/elsewhere").c_str(), (runtime + "/gimbalo.lock").c_str());
         },
         false},
        {"another user's file in the lock's place", true,
         [&](const std::string& runtime, auto&, auto&) {
             testing::WriteFile(runtime + "/gimbalo.lock", "");
             give(runtime + "/gimbalo.lock");
         },
         false},
        {"a runtime folder others may enter", false,
         [](const std::string& runtime, auto&, auto&) { chmod(runtime.c_str(), 0755); }, false},
        {"a relative runtime folder", false,
         [](auto&, auto&, std::string& value) { value = "runtime"; }, false},
        {"no runtime folder, and another user's in the temporary folder", true,
         [&](auto&, const std::string& temporary, std::string& value) {
             value = "";
             const std::string own = temporary + "/gimbalo-" + std::to_string(geteuid());
             mkdir(own.c_str(), 0700);
             give(own);
         },
         false},
    };
    for (const Case& c : cases) {
        if (c.rootOnly && !testing::RunningAsRoot()) continue;
        testing::TempFolder base;
        const std::string runtime = base.File("runtime"), temporary = base.File("tmp");
        std::filesystem::create_directories(runtime);
        std::filesystem::create_directories(temporary);
        std::filesystem::create_directories(base.File("config/gimbalo"));
        chmod(runtime.c_str(), 0700);
        std::string runtimeValue = runtime;
        c.prepare(runtime, temporary, runtimeValue);
        ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtimeValue);
        ScopedEnv temporaryEnv("TMPDIR", temporary);
        ScopedEnv configEnv("XDG_CONFIG_HOME", base.File("config"));
        {
            InstanceLock first;
            EXPECT_EQ(first.AnotherInstanceRunning(), c.anotherRuns) << c.what;
            InstanceLock second;
            EXPECT_TRUE(second.AnotherInstanceRunning()) << c.what << ": a second copy";
        }
        if (runningCopy >= 0) close(runningCopy);
        runningCopy = -1;
        InstanceLock next;
        EXPECT_FALSE(next.AnotherInstanceRunning()) << c.what << ": once every copy ended";
        EXPECT_FALSE(std::filesystem::exists(base.File("tmp/elsewhere"))) << c.what;
    }
}

// Copies started at the same moment: exactly one runs, round after round.
TEST(InstanceLock, OfManyCopiesStartedAtOnceExactlyOneRuns) {
    testing::TempFolder runtime;
    chmod(runtime.Path().c_str(), 0700);
    ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtime.Path());
    constexpr int kCopies = 20, kRounds = 50;
    for (int round = 0; round < kRounds; ++round) {
        int go[2], answers[2], end[2];
        ASSERT_EQ(pipe(go), 0);
        ASSERT_EQ(pipe(answers), 0);
        ASSERT_EQ(pipe(end), 0);
        for (int copy = 0; copy < kCopies; ++copy) {
            if (fork() != 0) continue;
            close(go[1]);
            close(end[1]);
            char byte;
            [[maybe_unused]] const ssize_t started = read(go[0], &byte, 1);
            InstanceLock lock;
            byte = lock.AnotherInstanceRunning() ? 'x' : 'r';
            [[maybe_unused]] const ssize_t told = write(answers[1], &byte, 1);
            // Runs until every copy has asked, as a copy that started does.
            [[maybe_unused]] const ssize_t ended = read(end[0], &byte, 1);
            _exit(0);
        }
        close(go[0]);
        close(go[1]);  // all start together
        close(answers[1]);
        std::string said;
        char byte;
        while (said.size() < kCopies && read(answers[0], &byte, 1) == 1) said += byte;
        close(answers[0]);
        close(end[0]);
        close(end[1]);
        while (wait(nullptr) > 0) {
        }
        ASSERT_EQ(said.size(), std::size_t{kCopies}) << "round " << round;
        EXPECT_EQ(std::count(said.begin(), said.end(), 'r'), 1) << "round " << round;
    }
}

}  // namespace
}  // namespace gimbalo
