#include "core/program.h"

#include "core/settings.h"

namespace gimbalo {

Program::Program(Platform& platform_) : platform(platform_), main(*this) {}

void Program::Start() {
    platform.LoadForm(main);
    mainLoaded_ = true;
    main.Form_Initialize();
    main.Form_Load();
}

void Program::Exit() {
    if (mainLoaded_) {
        main.Form_Unload();
        platform.UnloadForm(main);
        mainLoaded_ = false;
    }
    platform.EndProgram();
}

bool Program::SaveSettings() {
    return WriteSettingsFile(SettingsPath(), settings);
}

std::string Program::SettingsPath() {
    return platform.SettingsFolder() + platform.PathSeparator() + kSettingsFileName;
}

std::string Program::ProgramPath(const std::string& name) {
    return platform.ProgramFolder() + platform.PathSeparator() + name;
}

}  // namespace gimbalo
