#include "core/main_window.h"

#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "core/program.h"
#include "lang/language_choice.h"
#include "lang/translation_page.h"
#include "options/autostart.h"
#include "options/frm_opzioni.h"
#include "options/joystick.h"
#include "shell/frm_about.h"
#include "shell/information_commands.h"
#include "shell/maker.h"
#include "shell/pictures.h"
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
    int entry;
    const char* english;
};
constexpr PointerMessage kPointerMessages[] = {
    {POINTER_DEVICE_MISSING, 30,
     "Gimbalo cannot move the pointer: /dev/uinput is missing, because the uinput kernel module "
     "is not loaded. Load it with \"sudo modprobe uinput\"; from the next start of the computer "
     "it loads by itself."},
    {POINTER_DEVICE_DENIED, 31,
     "Gimbalo cannot move the pointer: you may not use /dev/uinput yet. The access rule "
     "installed with Gimbalo takes effect at your next login: log out and log in again."},
    {POINTER_DEVICE_FAILED, 32,
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
        platform.MessageBox(said.empty() ? message.english : said, MB_ICONEXCLAMATION,
                            text[4].empty() ? "Gimbalo" : text[4]);
    }
}

}  // namespace

Gimbalo::Gimbalo(Program& program)
    : Form(MainWindowDesign()),
      Img1(*this, MenuPicture("Img1", kMenuOptionsPicture)),
      Img2(*this, MenuPicture("Img2", kMenuAboutPicture)),
      Img3(*this, MenuPicture("Img3", kMenuUpdatesPicture)),
      Img4(*this, MenuPicture("Img4", kMenuDonationPicture)),
      Img5(*this, MenuPicture("Img5", kMenuLicencePicture)),
      Img6(*this, MenuPicture("Img6", kMenuExitPicture)),
      Polling(program.platform, program.settings, Label1),
      Rest(program.platform, Timer1, Polling),
      program_(program) {
    Timer1.Tick = [this] { Rest.Tick(); };
    MouseMove = [this](int button, int shift, float x, float y) {
        Form_MouseMove(button, shift, x, y);
    };
    TitleBarClose = [this] { program_.Exit(); };
    mnuDef.Click = [this] { mnuDef_Click(); };
    mnuLingua.Click = [this] { mnuLingua_Click(); };
    mnuAggLingua.Click = [this] { mnuAggLingua_Click(); };
    mnuDonazione.Click = [this] { mnuDonazione_Click(); };
    mnuAggiornamenti.Click = [this] { mnuAggiornamenti_Click(); };
    mnuLicenza.Click = [this] { mnuLicenza_Click(); };
    mnuVersioni.Click = [this] { mnuVersioni_Click(); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
    mnuExit.Click = [this] { mnuExit_Click(); };
}

void Gimbalo::Form_Initialize() {
    InitVisualStyles(program_.platform);
}

void Gimbalo::Form_Load() {
    Platform& platform = program_.platform;
    const LangTable& text = program_.LangText;

    // Each step stands alone: a failing one is skipped.
    SetMenuPicture(0, 0, Img1);
    SetMenuPicture(0, 5, Img4);
    SetMenuPicture(0, 7, Img3);
    SetMenuPicture(0, 9, Img5);
    SetMenuPicture(0, 11, Img2);
    SetMenuPicture(0, 13, Img6);

    const int joysticks = CountJoysticks(platform, *this);

    std::string languageField;
    switch (ReadSettingsFile(program_.SettingsPath(), program_.settings, languageField,
                             platform.TextIsUtf8())) {
        case SettingsFileState::Read:
            SelectStartupLanguage(program_, languageField);
            SyncAutostart(platform, program_.settings.StartWithWindows);
            break;
        case SettingsFileState::Unreadable:
            // The user's file stays as it is, and so does the autostart entry
            // it stands for: the defaults make the buttons work, the country
            // gives the language, and only the user's own save writes.
            program_.settings.SetDefaults();
            program_.KeepUnreadableSettingsFile();
            SelectStartupLanguage(program_, "");
            break;
        case SettingsFileState::Missing:
            program_.settings.SetDefaults();
            // A first start speaks the user's language too: chosen as for a
            // settings file without a language line. The autostart entry
            // still waits for a settings file.
            SelectStartupLanguage(program_, "");
            break;
    }

    if (platform.AnotherInstanceRunning()) {
        platform.MessageBox(text[5] + " " + platform.ExecutableName() + " " + text[6],
                            MB_ICONEXCLAMATION, text[4]);
        platform.EndProgram();
        return;
    }

    if (joysticks >= 1) {
        // Before the timer starts: no tick runs while the message is up.
        TellWhyThePointerCannotMove(platform, text);
        Timer1.SetInterval(kPollingInterval);
    } else {
        platform.MessageBox(text[24] + "\r\r" + text[25], MB_ICONEXCLAMATION, text[4]);
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

void Gimbalo::Form_Unload() {
    Rest.Stop();
    program_.SaveSettings(Program::SaveRequest::Routine);
    program_.Tray.RemoveTrayIcon(TrayIconPicture);
    program_.Tray.RemoveTrayIcon(Icon());
    // A mouse button the joystick holds down goes up with the program.
    Polling.ReleaseHeldButton();
}

void Gimbalo::Form_MouseMove(int, int, float x, float) {
    const int twipsPerPixel = program_.platform.TwipsPerPixelX();
    if (twipsPerPixel <= 0) return;
    const double quotient =
        RoundHalfEven(static_cast<double>(x / static_cast<float>(twipsPerPixel)));
    // A value beyond 32 bits cannot be a message number; the step fails.
    if (!std::isfinite(quotient) || quotient < std::numeric_limits<int32_t>::min() ||
        quotient > std::numeric_limits<int32_t>::max())
        return;
    TrayMessage = static_cast<int32_t>(quotient);
    if (TrayMessage == WM_LBUTTONUP || TrayMessage == WM_RBUTTONUP)
        program_.platform.ShowPopupMenu(*this);
}

bool Gimbalo::SetMenuPicture(int16_t submenu, int16_t itemPosition, const Image& picture) {
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

void Gimbalo::ApplyMenuCaptions() {
    const LangTable& text = program_.LangText;
    mnuDef.SetCaption(text[7]);
    mnuDonazione.SetCaption(text[8]);
    mnuAggiornamenti.SetCaption(text[9]);
    mnuLicenza.SetCaption(text[10]);
    mnuVersioni.SetCaption(text[11]);
    mnuAbout.SetCaption(text[12]);
    mnuLingua.SetCaption(text[26]);
    mnuAggLingua.SetCaption(text[27]);
    mnuExit.SetCaption(text[13]);
}

void Gimbalo::mnuDef_Click() {
    frmOpzioni& dialog = program_.LoadOptionsDialog();
    dialog.Show();
}

void Gimbalo::mnuLingua_Click() {
    RunLanguageCommand(program_);
}

void Gimbalo::mnuAggLingua_Click() {
    ShowTranslationPage(program_.platform);
}

void Gimbalo::mnuDonazione_Click() {
    OpenDonationPage(program_.platform);
}

void Gimbalo::mnuAggiornamenti_Click() {
    OpenUpdatesPage(program_.platform);
}

void Gimbalo::mnuLicenza_Click() {
    OpenLicence(program_.platform, program_.settings.LangFileName);
}

void Gimbalo::mnuVersioni_Click() {
    OpenVersionHistory(program_.platform);
}

void Gimbalo::mnuAbout_Click() {
    const LangTable& text = program_.LangText;
    frmAbout& box = program_.LoadAboutBox();
    box.SetCaption(text[28]);
    box.lblVersion.SetCaption(VersionText(program_.platform.GetProductVersion()));
    box.lblDescription.SetCaption(text[14]);
    box.lblCopyright.SetCaption(std::string(kCreditLine) + " - " + text[15]);
    box.Show();
}

void Gimbalo::mnuExit_Click() {
    program_.Exit();
}

}  // namespace gimbalo
