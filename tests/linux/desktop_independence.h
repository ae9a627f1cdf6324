// The tests see the same desktop on any machine: no session bus, no desktop
// environment's platform theme, and configuration and runtime folders of
// their own, so nothing the developer set up changes a result, no test
// writes into the developer's ~/.config (Qt's file dialog keeps its state
// there), and a copy of the program the developer runs, or another run of
// the tests, holds another single-instance lock.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace gimbalo::testing {

class DesktopIndependence : public ::testing::Environment {
public:
    void SetUp() override {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        unsetenv("XDG_CURRENT_DESKTOP");
        setenv("QT_QPA_PLATFORMTHEME", "", 1);
        config_ = Private("XDG_CONFIG_HOME", "config");
        runtime_ = Private("XDG_RUNTIME_DIR", "runtime");
    }
    void TearDown() override {
        for (const std::string& folder : {config_, runtime_}) {
            std::error_code ignored;
            if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
        }
    }

    // Puts one in place for the whole test program.
    static bool Install() {
        ::testing::AddGlobalTestEnvironment(new DesktopIndependence);
        return true;
    }

private:
    // A new folder of mode 0700 named in `variable`.
    static std::string Private(const char* variable, const std::string& what) {
        std::string folder =
            std::filesystem::temp_directory_path().string() + "/gimbalo-" + what + "-XXXXXX";
        if (mkdtemp(folder.data()) == nullptr) return {};
        setenv(variable, folder.c_str(), 1);
        return folder;
    }

    std::string config_;
    std::string runtime_;
};

}  // namespace gimbalo::testing
