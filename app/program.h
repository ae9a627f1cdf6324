// The program object: owns the settings model, the string table, the tray
// icon record and the forms, and reaches the desktop through the platform it
// is given.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "core/settings.h"
#include "lang/lang_text.h"
#include "platform/platform.h"
#include "shell/system_tray.h"

namespace gimbalo {

class frmOpzioni;
class frmAbout;

class Program {
public:
    explicit Program(Platform& platform);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the main window: its initialisation and load steps run. When
    // they end the program, the platform says so (ProgramEnded).
    void Start();
    // Unloads the main window (its unload step runs) and ends the program, as
    // the exit command and the desktop's close request do. Open dialogs go
    // with it without their own unload steps.
    void Exit();

    // Who asks for the settings file to be written.
    enum class SaveRequest {
        User,     // an explicit Apply or OK, or a language chosen in the dialog
        Routine,  // the unload step, or a Language command that chose nothing
    };
    // Writes the settings file; false when it could not be written or was
    // kept. A file that was there but could not be read at start-up is kept
    // as it is until the user asks for a save.
    bool SaveSettings(SaveRequest request = SaveRequest::User);
    // Start-up found a settings file it could not read: nothing but an
    // explicit save may replace it.
    void KeepUnreadableSettingsFile() { keepSettingsFile_ = true; }
    std::string SettingsPath();

    // Runs the popup menu item `itemName` ("mnuDef", "mnuExit", ...) as if
    // the user had chosen it. False when the menu has no such item or it
    // cannot be chosen (a separator).
    bool RunMenuCommand(const std::string& itemName);

    // The options dialog, or nullptr while it does not exist.
    frmOpzioni* OptionsDialog() const { return options_.get(); }
    // Creates the options dialog when it does not exist (its load step runs).
    frmOpzioni& LoadOptionsDialog();
    // Destroys the options dialog, shown or hidden; nothing is saved.
    void UnloadOptionsDialog();

    // The timer whose ticks poll the joystick: the main window's.
    const Timer& PollingTimer() const { return mainWindow.pollingTimer; }

    // The about box, or nullptr while it is not loaded.
    frmAbout* AboutBox() const { return about_.get(); }
    // Loads the about box when it is not loaded (its load handler runs).
    frmAbout& LoadAboutBox();
    // Unloads the about box (its unload handler runs).
    void UnloadAboutBox();

    Platform& platform;
    Settings settings;
    LangTable LangText;
    SystemTray Tray;
    MainWindow mainWindow;

private:
    // Gives a new form its window and the pictures it declares.
    void LoadFormWindow(Form& form);
    // A form that was unloaded may still be on the call stack of its own
    // event (a click that closes it); it is kept until the next command.
    void Retire(std::unique_ptr<Form> form);
    void DisposeRetiredForms();

    bool mainLoaded_ = false;
    bool keepSettingsFile_ = false;
    std::unique_ptr<frmOpzioni> options_;
    std::unique_ptr<frmAbout> about_;
    std::vector<std::unique_ptr<Form>> retired_;
};

}  // namespace gimbalo
