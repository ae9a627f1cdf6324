// Shared by the tests of the program's forms: a whole program on the sim
// desktop, with helpers to write its settings and language files.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "app/program.h"
#include "lang/lang_text.h"
#include "options/frm_opzioni.h"
#include "platform/sim/sim_platform.h"
#include "shell/frm_about.h"
#include "tests/test_support.h"

namespace gimbalo::testing {

// A language file whose lines 1 to `lines` read "<n>: " followed by
// `prefix` and the number, except where `texts` says otherwise.
inline std::string LanguageFileText(const std::string& prefix,
                                    const std::map<int, std::string>& texts = {}, int lines = 29) {
    std::string content;
    for (int n = 1; n <= lines; ++n) {
        char lead[8];
        std::snprintf(lead, sizeof lead, "%02d ", n % 100);
        auto found = texts.find(n);
        content += lead;
        content += found != texts.end() ? found->second : prefix + std::to_string(n);
        content += "\r\n";
    }
    return content;
}

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() : sim(folder.Path()), program(sim) {}

    std::string Path(const std::string& relative) const {
        return folder.Path() + sim.PathSeparator() + relative;
    }
    void WriteLanguage(const std::string& name, const std::string& content) {
        WriteFile(Path("Lang/" + name), content);
    }
    void WriteSettings(const std::string& content) { WriteFile(Path("Gimbalo.ini"), content); }
    std::string SettingsText() const { return ReadFile(Path("Gimbalo.ini")); }
    bool SettingsWritten() const { return std::filesystem::exists(Path("Gimbalo.ini")); }

    // A usual start: one joystick of `buttons` buttons, a settings file that
    // names English.lng, and English.lng with texts "E1" to "E29".
    void StartUsual(uint32_t buttons = 4) {
        sim.AddJoystick("Pad One", buttons);
        WriteLanguage("English.lng", LanguageFileText("E", {{16, "Button"}, {26, "Language..."}}));
        WriteSettings("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
        program.Start();
    }

    frmOpzioni& OpenOptions() {
        EXPECT_TRUE(program.RunMenuCommand("mnuDef"));
        return *program.OptionsDialog();
    }

    TempFolder folder;
    SimPlatform sim;
    Program program;
};

}  // namespace gimbalo::testing
