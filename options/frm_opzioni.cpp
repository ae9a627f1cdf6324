#include "options/frm_opzioni.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/maker.h"
#include "lang/file_dialogs.h"
#include "options/autostart.h"
#include "options/joystick.h"
#include "platform/common/picture_files.h"
#include "platform/common/text_encoding.h"

namespace gimbalo {

namespace {

const Font kCaptionFont{"Arial", 9.75};
const Font kListFont{"MS Sans Serif", 9.75};
const Font kCreditsFont{"Arial", 9, false, true};
constexpr Rgb kCreditsColour = RGB(2, 92, 202);

FormDesign DialogDesign() {
    return FormDesign::Named("frmOpzioni")
        .Client(Unit::Pixels, 497, 312)
        .Back(kWhite)
        .Border(FormBorder::FixedDialog)
        .Caption("Gimbalo")
        .Icon(kProgramIconPicture);  // replaced by the main window's at load
}

ControlDesign ListCaption(const char* name, int top, const char* text, ComboBox& list) {
    return Control::Design(name)
        .At(188, top, 173, 16)
        .WithFont(kCaptionFont)
        .Transparent()
        .Align(Alignment::Right)
        .Caption(text)
        .CaptionOf(list);
}

ControlDesign List(const char* name, int top, int width, int tab) {
    return Control::Design(name).At(372, top, width, 24).WithFont(kListFont).HandPointer().Tab(tab);
}

ControlDesign Check(const char* name, int top, const char* text, int tab) {
    return Control::Design(name)
        .At(194, top, 213, 19)
        .WithFont(kCaptionFont)
        .HandPointer()
        .Tab(tab)
        .Caption(text);
}

ControlDesign Button(const char* name, int left, const char* text, int tab) {
    return Control::Design(name).At(left, 262, 75, 33).HandPointer().Tab(tab).Caption(text);
}

}  // namespace

frmOpzioni::frmOpzioni(OptionsDialogNeeds needs)
    : Form(DialogDesign()),
      Image2(*this, Control::Design("Image2")
                        .At(16, 16, 158, 138)
                        .Picture(kOptionsDecorationPicture)
                        .Decorative()),
      Combo1(*this, List("Combo1", 20, 105, 0)),
      Combo2(*this, List("Combo2", 48, 105, 1)),
      Combo3(*this, List("Combo3", 76, 105, 2)),
      Combo4(*this, List("Combo4", 108, 47, 3)),
      Combo5(*this, List("Combo5", 140, 47, 4)),
      Check2(*this, Check("Check2", 190, "Abilita accelerazione", 5)),
      Check1(*this, Check("Check1", 214, "Carica all'avvio di Windows", 6)),
      Command1(*this, Button("Command1", 244, "&Ok", 7)),
      Command3(*this, Button("Command3", 322, "A&pplica", 8)),
      Command2(*this, Button("Command2", 400, "&Annulla", 9)),
      Label1(*this, ListCaption("Label1", 24, "Pulsante sinistro del mouse", Combo1)),
      Label2(*this, ListCaption("Label2", 52, "Pulsante destro del mouse", Combo2)),
      Label3(*this, ListCaption("Label3", 80, "Pulsante centrale del mouse", Combo3)),
      Label4(*this, ListCaption("Label4", 112, "Velocit\xC3\xA0 del puntatore", Combo4)),
      Label6(*this, ListCaption("Label6", 144, "Joystick in uso", Combo5)),
      Label5(*this, Control::Design("Label5")
                        .At(14, 262, 227, 41)
                        .WithFont(kCreditsFont)
                        .Fore(kCreditsColour)
                        .Transparent()
                        .Caption("Label5")),
      needs_(std::move(needs)) {
    Combo1.Click = [this] { Combo1_Click(); };
    Combo2.Click = [this] { Combo2_Click(); };
    Combo3.Click = [this] { Combo3_Click(); };
    Combo1.Change = [this] { Combo1_Change(); };
    Combo2.Change = [this] { Combo2_Change(); };
    Combo3.Change = [this] { Combo3_Change(); };
    Combo4.Click = [this] { Combo4_Click(); };
    Combo4.Change = [this] { Combo4_Change(); };
    Combo5.Click = [this] { Combo5_Click(); };
    Combo5.Change = [this] { Combo5_Change(); };
    Check1.Click = [this] { Check1_Click(); };
    Check2.Click = [this] { Check2_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    TitleBarClose = [this] { needs_.unload(); };
}

void frmOpzioni::Form_Load() {
    Platform& platform = needs_.platform;
    Settings& model = needs_.settings;
    const LangTable& text = needs_.text;

    JOYCAPS caps;  // all zeros: no name, no buttons
    ReadJoystickCaps(platform, model.JoystickIndex, caps);

    SetIcon(needs_.icon);

    Label1.SetCaption(text[TextId::LeftButtonCaption]);
    Label2.SetCaption(text[TextId::RightButtonCaption]);
    Label3.SetCaption(text[TextId::MiddleButtonCaption]);
    Label4.SetCaption(text[TextId::SpeedCaption]);
    Label6.SetCaption(text[TextId::JoystickCaption]);
    Check1.SetCaption(text[TextId::StartAtLoginCaption]);
    Check2.SetCaption(text[TextId::AccelerationCaption]);
    Command1.SetCaption(text[TextId::OkButton]);
    Command2.SetCaption(text[TextId::CancelButton]);
    Command3.SetCaption(text[TextId::ApplyButton]);
    Label5.SetCaption(std::string(kAuthorsLine) + "\r" + text[TextId::LanguageLine]);

    const uint32_t buttons = std::min(caps.wNumButtons, kMaxJoystickButtons);
    for (uint32_t n = 1; n <= buttons; ++n) {
        const std::string entry = text[TextId::ButtonWord] + " " + std::to_string(n);
        Combo1.AddItem(entry);
        Combo2.AddItem(entry);
        Combo3.AddItem(entry);
    }

    for (const char* speed : {"0.5", "1", "1.5", "2", "2.5", "3"}) Combo4.AddItem(speed);

    // A button the joystick does not have selects nothing.
    Combo1.SetListIndex(model.LeftButton - 1);
    Combo2.SetListIndex(model.RightButton - 1);
    Combo3.SetListIndex(model.MiddleButton - 1);

    const int joysticks = std::clamp(needs_.joystickCount, 0, kMaxJoystickEntries);
    for (int k = 1; k <= joysticks; ++k) Combo5.AddItem(std::to_string(k));
    Combo5.SetListIndex(model.JoystickIndex);

    if (model.SpeedSetting.empty()) model.SpeedSetting = "2";
    Combo4.SetText(model.SpeedSetting);

    Check2.SetValue(model.Acceleration == 1 ? 1 : 0);
    Check1.SetValue(model.StartWithWindows == 1 ? 1 : 0);

    // The name ends at its first NUL and holds at most 32 characters, counted
    // as the program's text counts them, so no character is cut in two.
    const std::string name =
        FirstCharacters(TrimAtNul(caps.szPname), kJoystickNameLength, platform.TextIsUtf8());
    SetCaption(text[TextId::OptionsTitle] + " - " + name);

    Command3.SetEnabled(false);
}

void frmOpzioni::ExcludeFrom(ComboBox& changed, ComboBox& first, ComboBox& second) {
    if (first.Text() == changed.Text()) first.SetText("");
    if (second.Text() == changed.Text()) second.SetText("");
}

void frmOpzioni::Combo1_Click() {
    ExcludeFrom(Combo1, Combo2, Combo3);
    Command3.SetEnabled(true);
}

void frmOpzioni::Combo2_Click() {
    ExcludeFrom(Combo2, Combo1, Combo3);
    Command3.SetEnabled(true);
}

void frmOpzioni::Combo3_Click() {
    ExcludeFrom(Combo3, Combo1, Combo2);
    Command3.SetEnabled(true);
}

void frmOpzioni::Command3_Click() {
    Settings& model = needs_.settings;
    model.LeftButton = static_cast<int16_t>(Combo1.ListIndex() + 1);
    model.RightButton = static_cast<int16_t>(Combo2.ListIndex() + 1);
    model.MiddleButton = static_cast<int16_t>(Combo3.ListIndex() + 1);
    model.SpeedSetting = Combo4.Text();
    model.Acceleration = static_cast<int16_t>(Check2.Value());
    model.StartWithWindows = static_cast<int16_t>(Check1.Value());
    model.JoystickIndex = static_cast<int16_t>(Combo5.ListIndex());
    SyncAutostart(needs_.platform, model.StartWithWindows);
    needs_.saveSettings();
    Command3.SetEnabled(false);
}

void frmOpzioni::Command1_Click() {
    Command3_Click();
    Hide();
}

void frmOpzioni::Command2_Click() {
    Hide();
}

}  // namespace gimbalo
