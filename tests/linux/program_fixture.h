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

#include "core/program.h"
#include "gui_test_support.h"
#include "test_support.h"

namespace gimbalo::testing {

// The test platform reading what ships with the program from the build
// folder, where the build copies it beside gimbalo.
class ProgramPlatform : public TestPlatform {
public:
    static std::unique_ptr<ProgramPlatform> Create(std::string& error) {
        static char name[] = "gimbalo_linux_tests";
        char* argv[] = {name, nullptr};
        int argc = 1;
        std::unique_ptr<ProgramPlatform> platform(new ProgramPlatform());
        if (!platform->Initialise(argc, argv, error)) return nullptr;
        return platform;
    }
    std::string ProgramFolder() override {
        return std::filesystem::path(GIMBALO_EXECUTABLE).parent_path().string();
    }
};

// A virtual joystick for the life of the object; the platform outlives it.
class PadForTest {
public:
    PadForTest(const char* name, int buttons) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 2;
        desc.nbuttons = static_cast<Uint16>(buttons);
        desc.name = name;
        const int device = SDL_JoystickAttachVirtualEx(&desc);
        if (device >= 0) joystick_ = SDL_JoystickOpen(device);
    }
    ~PadForTest() {
        if (joystick_ == nullptr) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
    }
    PadForTest(const PadForTest&) = delete;
    PadForTest& operator=(const PadForTest&) = delete;
    bool Attached() const { return joystick_ != nullptr; }

private:
    SDL_Joystick* joystick_ = nullptr;
};

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
        platform = ProgramPlatform::Create(error);
        ASSERT_TRUE(platform) << error;
        pad = std::make_unique<PadForTest>(kPadName, kPadButtons);
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
    std::unique_ptr<ProgramPlatform> platform;
    std::unique_ptr<PadForTest> pad;
    std::unique_ptr<Program> program;
};

}  // namespace gimbalo::testing
