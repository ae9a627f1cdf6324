// Shared by the Linux backend tests: a platform on the test's X display, and
// waiting for a condition with a deadline.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <filesystem>

#include "platform/linux/linux_platform.h"
#include "tests/linux/have_display.h"

namespace gimbalo::testing {

// Generous: a condition that holds comes true in milliseconds.
constexpr std::chrono::seconds kDeadline{10};

// The platform under test; a derived class so tests can start it and watch
// its timer ticks. What ships with the program is read from the build folder,
// where the build copies it beside gimbalo.
class TestPlatform : public LinuxPlatform {
public:
    // A started platform of type P (this one or one derived from it).
    template <typename P = TestPlatform, typename... Arguments>
    static std::unique_ptr<P> Create(std::string& error, Arguments&&... arguments) {
        static char name[] = "gimbalo_linux_tests";
        char* argv[] = {name, nullptr};
        int argc = 1;
        auto platform = std::make_unique<P>(std::forward<Arguments>(arguments)...);
        if (!platform->Initialise(argc, argv, error)) return nullptr;
        return platform;
    }
    // Runs before each timer tick the platform dispatches.
    std::function<void(Timer&)> onDispatch;
    TestPlatform() {
        Timers().Wrap([this](Timer& timer, const std::function<void()>& fire) {
            if (onDispatch) onDispatch(timer);
            fire();
        });
    }
    std::string ProgramFolder() override {
        return std::filesystem::path(GIMBALO_EXECUTABLE).parent_path().string();
    }
    // When set, what the program starts is only noted here.
    bool noteStartedPrograms = false;
    std::vector<std::string> startedPrograms;
    bool StartProgram(const std::string& commandLine, int showStyle) override {
        if (!noteStartedPrograms) return LinuxPlatform::StartProgram(commandLine, showStyle);
        startedPrograms.push_back(commandLine);
        return true;
    }
};

// Skips the test without an X display; otherwise starts `platform` there,
// or fails the test.
inline void StartOnDisplay(std::unique_ptr<TestPlatform>& platform) {
    if (!HaveDisplay()) GTEST_SKIP() << "no X display";
    std::string error;
    platform = TestPlatform::Create(error);
    ASSERT_TRUE(platform) << error;
}

// Whether this process is a copy of the test program started by
// RunTestInChild, to do the child's part of a test.
inline bool InTestChild() {
    return std::getenv("GIMBALO_TEST_CHILD") != nullptr;
}

// Runs the test `name` ("Suite.Test") alone in a fresh copy of this test
// program, with GIMBALO_TEST_CHILD set and the NAME=VALUE entries of `env` in
// place of their namesakes: for what one process can do only once, or what
// ends the process. The raw wait status; -1 when it could not start or did
// not end by the deadline (it is then killed).
inline int RunTestInChild(const std::string& name, const std::vector<std::string>& env = {}) {
    std::vector<std::string> variables = env;
    variables.push_back("GIMBALO_TEST_CHILD=1");
    std::vector<std::string> all;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        bool replaced = false;
        for (const std::string& own : variables)
            if (variable.rfind(own.substr(0, own.find('=') + 1), 0) == 0) replaced = true;
        if (!replaced) all.push_back(variable);
    }
    all.insert(all.end(), variables.begin(), variables.end());
    std::string self = "/proc/self/exe";
    std::string filter = "--gtest_filter=" + name;
    std::vector<char*> argv{self.data(), filter.data(), nullptr};
    std::vector<char*> envp;
    for (std::string& variable : all) envp.push_back(variable.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        // The child's report goes with the test's own failure messages.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (pid < 0) return -1;
    // A child's test waits for its own conditions; this one only for its end.
    const auto deadline = std::chrono::steady_clock::now() + 3 * kDeadline;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, hadOld_ = true;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (hadOld_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

}  // namespace gimbalo::testing

// Skips the test without an X display; otherwise creates `platform`.
#define GIMBALO_PLATFORM_OR_SKIP(platform)                                     \
    if (!::gimbalo::testing::HaveDisplay()) GTEST_SKIP() << "no X display";    \
    std::string platform##Error;                                               \
    auto platform = ::gimbalo::testing::TestPlatform::Create(platform##Error); \
    ASSERT_TRUE(platform) << platform##Error
