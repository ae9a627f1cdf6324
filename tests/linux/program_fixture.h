// The whole program on the X display, as a test runs it: its own settings
// and runtime folders, a settings file choosing English, one SDL virtual
// joystick, and the shipped data of the build folder.
#pragma once

#include <SDL.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "gui_test_support.h"
#include "test_joystick.h"
#include "test_support.h"

namespace gimbalo::testing {

inline constexpr const char* kPadName = "Gimbalo Test Pad";
inline constexpr int kPadButtons = 4;

class ProgramOnDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveDisplay()) GTEST_SKIP() << "no X display";
        ASSERT_FALSE(config.Path().empty());
        ASSERT_FALSE(runtime.Path().empty());
        // The runtime folder is private to its user, as Qt requires.
        std::filesystem::permissions(runtime.Path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        configEnv.emplace("XDG_CONFIG_HOME", config.Path());
        runtimeEnv.emplace("XDG_RUNTIME_DIR", runtime.Path());
        // Buttons 1, 2, 3, speed 2, acceleration on, no autostart, joystick 1,
        // English.
        std::filesystem::create_directories(SettingsFolder());
        WriteSettings({"1", "2", "3", "2", "1", "0", "0", "English.lng"});

        std::string error;
        platform = TestPlatform::Create(error);
        ASSERT_TRUE(platform) << error;
        // The program reads device 0.
        SKIP_WITH_A_REAL_JOYSTICK();
        pad = std::make_unique<VirtualJoystick>(kPadName, 2, kPadButtons);
        ASSERT_TRUE(pad->Attached()) << SDL_GetError();
        program = std::make_unique<Program>(*platform);
        program->Start();
        ASSERT_FALSE(platform->ProgramEnded());
    }
    void TearDown() override {
        program.reset();
        pad.reset();
        platform.reset();
    }

    std::string SettingsFolder() const { return config.Path() + "/gimbalo"; }
    void WriteSettings(const std::vector<std::string>& lines) {
        std::ofstream file(SettingsFolder() + "/Gimbalo.ini", std::ios::binary);
        for (const std::string& line : lines) file << line << "\r\n";
    }
    // The settings file's lines, without their line ends.
    std::vector<std::string> SettingsLines() const {
        std::ifstream file(SettingsFolder() + "/Gimbalo.ini", std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    TempFolder config;
    TempFolder runtime;
    std::optional<ScopedEnv> configEnv;
    std::optional<ScopedEnv> runtimeEnv;
    std::unique_ptr<TestPlatform> platform;
    std::unique_ptr<VirtualJoystick> pad;
    std::unique_ptr<Program> program;
};

}  // namespace gimbalo::testing
