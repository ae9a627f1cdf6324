// The program object: owns the settings model, the string table and the
// forms, and reaches the desktop through the platform it is given.
#pragma once

#include <string>

#include "core/main_window.h"
#include "core/settings.h"
#include "lang/lang_text.h"
#include "platform/platform.h"

namespace gimbalo {

class Program {
public:
    explicit Program(Platform& platform);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the main window: its initialisation and load steps run. When
    // they end the program, the platform says so (ProgramEnded).
    void Start();
    // Unloads the main window (its unload step runs) and ends the program, as
    // the exit command and the desktop's close request do.
    void Exit();

    // Writes the settings file; false when it could not be written.
    bool SaveSettings();
    std::string SettingsPath();
    // A path below the program folder: ProgramPath("Lang") and so on.
    std::string ProgramPath(const std::string& name);

    Platform& platform;
    Settings settings;
    LangTable LangText;
    Gimbalo main;

private:
    bool mainLoaded_ = false;
};

}  // namespace gimbalo
