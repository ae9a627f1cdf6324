#include "app/main_window.h"

#include <cmath>
#include <limits>

#include "app/program.h"
#include "core/maker.h"
#include "core/numbers.h"
#include "lang/language_choice.h"
#include "lang/translation_page.h"
#include "options/autostart.h"
#include "options/frm_opzioni.h"
#include "options/joystick.h"
#include "platform/common/picture_files.h"
#include "shell/frm_about.h"
#include "shell/information_commands.h"
#include "shell/visual_styles.h"

namespace gimbalo {

namespace {

ControlDesign MenuPicture(const char* name, const char* file) {
    return Control::Design(name)
        .At(0, 0, 13 * kTwipsPerPixel, 13 * kTwipsPerPixel)
        .Picture(file)
        .Decorative()
        .Hidden();
}

FormDesign MainWindowDesign() {
    return FormDesign::Named("Gimbalo")
        .Client(Unit::Twips, 4680, 3195)
        .Border(FormBorder::Sizable)
        .Caption("Gimbalo")
        .Icon(kProgramIconPicture);
}

// Why the pointer cannot move, as the user is told: the language file's
// entry, or these words when it has none.
struct PointerMessage {
    uint32_t state;
    TextId entry;
    const char* english;
};
constexpr PointerMessage kPointerMessages[] = {
    {POINTER_DEVICE_MISSING, TextId::PointerModuleMissing,
     "Gimbalo cannot move the pointer: /dev/uinput is missing, because the uinput kernel module "
     "is not loaded. Load it with \"sudo modprobe uinput\"; from the next start of the computer "
     "it loads by itself."},
    {POINTER_DEVICE_DENIED, TextId::PointerAccessDenied,
     "Gimbalo cannot move the pointer: you may not use /dev/uinput yet. The access rule "
     "installed with Gimbalo takes effect at your next login: log out and log in again."},
    {POINTER_DEVICE_FAILED, TextId::PointerDeviceFailed,
     "Gimbalo cannot move the pointer: its virtual mouse could not be made through "
     "/dev/uinput. Start Gimbalo again."},
};

// Tells the user when the desktop's way to move the pointer is closed. The
// program runs on with its icon, so the settings and the menu stay at hand,
// and the desktop keeps trying that way as the stick moves.
void TellWhyThePointerCannotMove(Platform& platform, const LangTable& text) {
    const uint32_t state = platform.PointerState();
    for (const PointerMessage& message : kPointerMessages) {
        if (message.state != state) continue;
        const std::string& said = text[message.entry];
        platform.MessageBox(
            said.empty() ? message.english : said, MB_ICONEXCLAMATION,
            text[TextId::MessageTitle].empty() ? "Gimbalo" : text[TextId::MessageTitle]);
    }
}

}  // namespace

MainWindow::MainWindow(Program& program)
    : Form(MainWindowDesign()),
      optionsPicture(*this, MenuPicture("Img1", kMenuOptionsPicture)),
      aboutPicture(*this, MenuPicture("Img2", kMenuAboutPicture)),
      updatesPicture(*this, MenuPicture("Img3", kMenuUpdatesPicture)),
      donationPicture(*this, MenuPicture("Img4", kMenuDonationPicture)),
      licencePicture(*this, MenuPicture("Img5", kMenuLicencePicture)),
      exitPicture(*this, MenuPicture("Img6", kMenuExitPicture)),
      polling(program.platform, program.settings),
      rest(program.platform, pollingTimer, polling),
      program_(program) {
    pollingTimer.Tick = [this] { rest.Tick(); };
    MouseMove = [this](int button, int shift, float x, float y) {
        Form_MouseMove(button, shift, x, y);
    };
    TitleBarClose = [this] { program_.Exit(); };
    optionsItem.Click = [this] { mnuDef_Click(); };
    languageItem.Click = [this] { mnuLingua_Click(); };
    addLanguageItem.Click = [this] { mnuAggLingua_Click(); };
    donationItem.Click = [this] { mnuDonazione_Click(); };
    updatesItem.Click = [this] { mnuAggiornamenti_Click(); };
    licenceItem.Click = [this] { mnuLicenza_Click(); };
    versionHistoryItem.Click = [this] { mnuVersioni_Click(); };
    aboutItem.Click = [this] { mnuAbout_Click(); };
    exitItem.Click = [this] { mnuExit_Click(); };
}

void MainWindow::Form_Initialize() {
    InitVisualStyles(program_.platform);
}

void MainWindow::Form_Load() {
    Platform& platform = program_.platform;
    const LangTable& text = program_.LangText;

    // Each step stands alone: a failing one is skipped.
    SetMenuPicture(0, 0, optionsPicture);
    SetMenuPicture(0, 5, donationPicture);
    SetMenuPicture(0, 7, updatesPicture);
    SetMenuPicture(0, 9, licencePicture);
    SetMenuPicture(0, 11, aboutPicture);
    SetMenuPicture(0, 13, exitPicture);

    joystickCount = CountJoysticks(platform);

    std::string languageField;
    switch (ReadSettingsFile(program_.SettingsPath(), program_.settings, languageField,
                             platform.TextIsUtf8(), platform.AnsiText())) {
        case SettingsFileState::Read:
            SelectStartupLanguage(platform, program_.settings, program_.LangText, languageField);
            ApplyMenuCaptions();
            SyncAutostart(platform, program_.settings.StartWithWindows);
            break;
        case SettingsFileState::Unreadable:
            // The user's file stays as it is, and so does the autostart entry
            // it stands for: the defaults make the buttons work, the country
            // gives the language, and only the user's own save writes.
            program_.settings.SetDefaults();
            program_.KeepUnreadableSettingsFile();
            SelectStartupLanguage(platform, program_.settings, program_.LangText, "");
            ApplyMenuCaptions();
            break;
        case SettingsFileState::Missing:
            program_.settings.SetDefaults();
            // A first start speaks the user's language too: chosen as for a
            // settings file without a language line. The autostart entry
            // still waits for a settings file.
            SelectStartupLanguage(platform, program_.settings, program_.LangText, "");
            ApplyMenuCaptions();
            break;
    }

    if (platform.AnotherInstanceRunning()) {
        platform.MessageBox(text[TextId::AlreadyRunningBefore] + " " + platform.ExecutableName() +
                                " " + text[TextId::AlreadyRunningAfter],
                            MB_ICONEXCLAMATION, text[TextId::MessageTitle]);
        platform.EndProgram();
        return;
    }

    if (joystickCount >= 1) {
        // Before the timer starts: no tick runs while the message is up.
        TellWhyThePointerCannotMove(platform, text);
        pollingTimer.SetInterval(kPollingInterval);
    } else {
        platform.MessageBox(text[TextId::NoJoystick] + "\r\r" + text[TextId::NoJoystickAdvice],
                            MB_ICONEXCLAMATION, text[TextId::MessageTitle]);
        // As the unload step does; there is no icon yet, so nothing changes.
        program_.Tray.RemoveTrayIcon(TrayIconPicture);
        program_.Tray.RemoveTrayIcon(Icon());
        platform.EndProgram();
        return;
    }

    TrayIconPicture = Icon();
    program_.Tray.AddTrayIcon(*this, TrayIconPicture, TrayIconPicture, kTrayTip);
    Hide();
}

void MainWindow::Form_Unload() {
    rest.Stop();
    program_.SaveSettings(Program::SaveRequest::Routine);
    program_.Tray.RemoveTrayIcon(TrayIconPicture);
    program_.Tray.RemoveTrayIcon(Icon());
    // A mouse button the joystick holds down goes up with the program.
    polling.ReleaseHeldButton();
}

void MainWindow::Form_MouseMove(int, int, float x, float) {
    const int twipsPerPixel = program_.platform.TwipsPerPixelX();
    if (twipsPerPixel <= 0) return;
    const double quotient =
        RoundHalfEven(static_cast<double>(x / static_cast<float>(twipsPerPixel)));
    // A value beyond 32 bits cannot be a message number; the step fails.
    if (!std::isfinite(quotient) || quotient < std::numeric_limits<int32_t>::min() ||
        quotient > std::numeric_limits<int32_t>::max())
        return;
    trayMessage = static_cast<int32_t>(quotient);
    if (trayMessage == WM_LBUTTONUP || trayMessage == WM_RBUTTONUP)
        program_.platform.ShowPopupMenu(*this);
}

bool MainWindow::SetMenuPicture(int16_t submenu, int16_t itemPosition, const Image& picture) {
    Platform& platform = program_.platform;
    const MenuHandle bar = platform.GetMenu(*this);
    if (bar == 0) return false;
    const MenuHandle menu = platform.GetSubMenu(bar, submenu);
    if (menu == 0) return false;
    const uint32_t id = platform.GetMenuItemID(menu, itemPosition);
    if (id == 0xFFFFFFFFu) return false;
    // The identifier is kept as a signed 16-bit number and handed on as such.
    const auto narrowed = static_cast<int16_t>(id);
    return platform.SetMenuItemBitmaps(bar, static_cast<uint32_t>(narrowed), kMenuItemByCommand,
                                       picture.PictureHandle(), picture.PictureHandle());
}

void MainWindow::ApplyMenuCaptions() {
    const LangTable& text = program_.LangText;
    optionsItem.SetCaption(text[TextId::OptionsItem]);
    donationItem.SetCaption(text[TextId::DonationItem]);
    updatesItem.SetCaption(text[TextId::UpdatesItem]);
    licenceItem.SetCaption(text[TextId::LicenceItem]);
    versionHistoryItem.SetCaption(text[TextId::VersionHistoryItem]);
    aboutItem.SetCaption(text[TextId::AboutItem]);
    languageItem.SetCaption(text[TextId::LanguageItem]);
    addLanguageItem.SetCaption(text[TextId::AddLanguageItem]);
    exitItem.SetCaption(text[TextId::ExitItem]);
}

void MainWindow::mnuDef_Click() {
    frmOpzioni& dialog = program_.LoadOptionsDialog();
    dialog.Show();
}

void MainWindow::mnuLingua_Click() {
    const LanguageCommandResult result =
        RunLanguageCommand(program_.platform, program_.settings, program_.LangText, *this);
    program_.UnloadOptionsDialog();
    ApplyMenuCaptions();
    // A settings file kept because it could not be read is replaced only when
    // the user chose a language.
    program_.SaveSettings(result == LanguageCommandResult::FileChosen
                              ? Program::SaveRequest::User
                              : Program::SaveRequest::Routine);
}

void MainWindow::mnuAggLingua_Click() {
    ShowTranslationPage(program_.platform);
}

void MainWindow::mnuDonazione_Click() {
    OpenDonationPage(program_.platform);
}

void MainWindow::mnuAggiornamenti_Click() {
    OpenUpdatesPage(program_.platform);
}

void MainWindow::mnuLicenza_Click() {
    OpenLicence(program_.platform, program_.settings.LangFileName);
}

void MainWindow::mnuVersioni_Click() {
    OpenVersionHistory(program_.platform);
}

void MainWindow::mnuAbout_Click() {
    const LangTable& text = program_.LangText;
    frmAbout& box = program_.LoadAboutBox();
    box.SetCaption(text[TextId::AboutTitle]);
    box.versionLabel.SetCaption(ReleaseCaption(program_.platform.GetProductVersion()));
    box.descriptionLabel.SetCaption(text[TextId::Description]);
    box.copyrightLabel.SetCaption(std::string(kCreditLine) + " - " + text[TextId::LanguageLine]);
    box.Show();
}

void MainWindow::mnuExit_Click() {
    program_.Exit();
}

}  // namespace gimbalo
