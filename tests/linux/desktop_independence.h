// The tests see the same desktop on any machine: an X11 session without a
// session bus, no desktop environment's platform theme, and a configuration
// folder of their own, so
// nothing the developer set up changes a result and no test writes into the
// developer's ~/.config (Qt's file dialog keeps its state there).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace gimbalo::testing {

class DesktopIndependence : public ::testing::Environment {
public:
    void SetUp() override {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        unsetenv("XDG_CURRENT_DESKTOP");
        for (const char* wayland : {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "GIMBALO_POINTER"})
            unsetenv(wayland);
        setenv("QT_QPA_PLATFORMTHEME", "", 1);
        std::string folder =
            std::filesystem::temp_directory_path().string() + "/gimbalo-config-XXXXXX";
        if (mkdtemp(folder.data()) != nullptr) {
            config_ = folder;
            setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
            // And a runtime folder (0700), whose lock no other copy holds.
            if (mkdir((config_ + "/runtime").c_str(), 0700) == 0)
                setenv("XDG_RUNTIME_DIR", (config_ + "/runtime").c_str(), 1);
        }
    }
    void TearDown() override {
        if (config_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(config_, ignored);
    }

    // Puts one in place for the whole test program.
    static bool Install() {
        ::testing::AddGlobalTestEnvironment(new DesktopIndependence);
        return true;
    }

private:
    std::string config_;
};

}  // namespace gimbalo::testing
