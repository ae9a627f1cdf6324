#include "core/main_window.h"

#include "core/program.h"
#include "options/autostart.h"
#include "options/joystick.h"

namespace gimbalo {

namespace {
constexpr int kPollingInterval = 5;  // milliseconds
}  // namespace

Gimbalo::Gimbalo(Program& program)
    : Form("Gimbalo"), Polling(program.platform, program.settings, Label1), program_(program) {
    Label1.SetCaption("Label1");
    Label1.SetVisible(false);
    Timer1.Tick = [this] { Polling.Timer1_Timer(); };
}

void Gimbalo::Form_Initialize() {
    program_.platform.InitCommonControls();
}

void Gimbalo::Form_Load() {
    Platform& platform = program_.platform;
    const LangTable& text = program_.LangText;

    const int joysticks = CountJoysticks(platform, *this);

    const std::string settingsPath = program_.SettingsPath();
    if (platform.FileExists(settingsPath)) {
        std::string languageField;
        Settings read;
        if (ReadSettingsFile(settingsPath, read, languageField))
            program_.settings = read;
        else
            program_.settings.SetDefaults();  // there, but unreadable
        SyncAutostart(platform, program_.settings.StartWithWindows);
    } else {
        program_.settings.SetDefaults();
    }

    if (platform.AnotherInstanceRunning()) {
        platform.MessageBox(text[5] + " " + platform.ExecutableName() + " " + text[6],
                            MB_ICONEXCLAMATION, text[4]);
        platform.EndProgram();
        return;
    }

    if (joysticks >= 1) {
        Timer1.SetInterval(kPollingInterval);
    } else {
        platform.MessageBox(text[24] + "\r\r" + text[25], MB_ICONEXCLAMATION, text[4]);
        platform.EndProgram();
        return;
    }

    Hide();
}

void Gimbalo::Form_Unload() {
    program_.SaveSettings();
    Polling.ReleaseHeldButton();
}

void Gimbalo::mnuExit_Click() {
    program_.Exit();
}

}  // namespace gimbalo
