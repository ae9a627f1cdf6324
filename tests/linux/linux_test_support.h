// Shared by the Linux backend tests: a platform on the test's X display, and
// waiting for a condition with a deadline.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/linux/linux_platform.h"

namespace gimbalo::testing {

// Generous: a condition that holds comes true in milliseconds.
constexpr std::chrono::seconds kDeadline{10};

// The platform under test; a derived class so tests can reach what the
// replay program reaches.
class TestPlatform : public LinuxPlatform {
public:
    static std::unique_ptr<TestPlatform> Create(std::string& error) {
        static char name[] = "gimbalo_linux_tests";
        char* argv[] = {name, nullptr};
        int argc = 1;
        std::unique_ptr<TestPlatform> platform(new TestPlatform());
        if (!platform->Initialise(argc, argv, error)) return nullptr;
        return platform;
    }
    std::function<void(Timer&)> onDispatch;

protected:
    void DispatchTimer(Timer& timer) override {
        if (onDispatch) onDispatch(timer);
        LinuxPlatform::DispatchTimer(timer);
    }
};

inline bool HaveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
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
