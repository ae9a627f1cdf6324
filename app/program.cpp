#include "app/program.h"

#include "core/settings.h"
#include "options/frm_opzioni.h"
#include "shell/frm_about.h"

namespace gimbalo {

Program::Program(Platform& platform_) : platform(platform_), Tray(platform_), mainWindow(*this) {}

Program::~Program() {
    // The desktop must not be left holding forms that are about to go.
    if (options_) platform.UnloadForm(*options_);
    if (about_) platform.UnloadForm(*about_);
    if (mainLoaded_) platform.UnloadForm(mainWindow);
}

void Program::LoadFormWindow(Form& form) {
    if (!form.Layout().icon.empty()) form.SetIcon(platform.LoadPicture(form.Layout().icon));
    for (Control* control : form.Controls()) {
        if (control->Kind() != ControlKind::Image && control->Kind() != ControlKind::PictureBox)
            continue;
        auto* holder = static_cast<PictureControl*>(control);
        if (!holder->PictureFile().empty())
            holder->SetPicture(platform.LoadPicture(holder->PictureFile()));
    }
    platform.LoadForm(form);
}

void Program::Start() {
    LoadFormWindow(mainWindow);
    mainLoaded_ = true;
    mainWindow.Form_Initialize();
    mainWindow.Form_Load();
}

void Program::Exit() {
    if (mainLoaded_) {
        mainWindow.Form_Unload();
        platform.UnloadForm(mainWindow);
        mainLoaded_ = false;
    }
    platform.EndProgram();
}

bool Program::SaveSettings(SaveRequest request) {
    // Every change of the settings ends here: a resting polling loop wakes
    // to take them.
    mainWindow.rest.SettingsChanged();
    if (keepSettingsFile_ && request != SaveRequest::User) return false;
    if (!WriteSettingsFile(SettingsPath(), settings, platform.TextIsUtf8())) return false;
    // The file now holds what the user chose: later saves may replace it.
    keepSettingsFile_ = false;
    return true;
}

std::string Program::SettingsPath() {
    // No folder of the user's: no file, rather than one in the file system's root.
    const std::string folder = platform.SettingsFolder();
    return folder.empty() ? folder : folder + platform.PathSeparator() + kSettingsFileName;
}

bool Program::RunMenuCommand(const std::string& itemName) {
    if (platform.ProgramEnded()) return false;
    DisposeRetiredForms();
    MenuItem* item = mainWindow.FindMenuItem(itemName);
    return item != nullptr && item->UserChoose();
}

frmOpzioni& Program::LoadOptionsDialog() {
    DisposeRetiredForms();
    if (!options_) {
        options_ = std::make_unique<frmOpzioni>(OptionsDialogNeeds{
            .platform = platform,
            .settings = settings,
            .text = LangText,
            .joystickCount = mainWindow.joystickCount,
            .icon = mainWindow.Icon(),
            .saveSettings = [this] { SaveSettings(); },
            .unload = [this] { UnloadOptionsDialog(); },
        });
        LoadFormWindow(*options_);
        options_->Form_Load();
    }
    return *options_;
}

void Program::UnloadOptionsDialog() {
    if (!options_) return;
    platform.UnloadForm(*options_);
    Retire(std::move(options_));
}

frmAbout& Program::LoadAboutBox() {
    DisposeRetiredForms();
    if (!about_) {
        about_ = std::make_unique<frmAbout>(platform, [this] { UnloadAboutBox(); });
        LoadFormWindow(*about_);
        about_->Form_Load();
    }
    return *about_;
}

void Program::UnloadAboutBox() {
    if (!about_) return;
    about_->Form_Unload();
    platform.UnloadForm(*about_);
    Retire(std::move(about_));
}

void Program::Retire(std::unique_ptr<Form> form) {
    retired_.push_back(std::move(form));
}

void Program::DisposeRetiredForms() {
    retired_.clear();
}

}  // namespace gimbalo
