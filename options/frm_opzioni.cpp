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
      decoration(*this, Control::Design("Image2")
                            .At(16, 16, 158, 138)
                            .Picture(kOptionsDecorationPicture)
                            .Decorative()),
      leftButtonList(*this, List("Combo1", 20, 105, 0)),
      rightButtonList(*this, List("Combo2", 48, 105, 1)),
      middleButtonList(*this, List("Combo3", 76, 105, 2)),
      speedList(*this, List("Combo4", 108, 47, 3)),
      joystickList(*this, List("Combo5", 140, 47, 4)),
      acceleration(*this, Check("Check2", 190, "Abilita accelerazione", 5)),
      startAtLogin(*this, Check("Check1", 214, "Carica all'avvio di Windows", 6)),
      okButton(*this, Button("Command1", 244, "&Ok", 7)),
      applyButton(*this, Button("Command3", 322, "A&pplica", 8)),
      cancelButton(*this, Button("Command2", 400, "&Annulla", 9)),
      leftButtonCaption(*this,
                        ListCaption("Label1", 24, "Pulsante sinistro del mouse", leftButtonList)),
      rightButtonCaption(*this,
                         ListCaption("Label2", 52, "Pulsante destro del mouse", rightButtonList)),
      middleButtonCaption(
          *this, ListCaption("Label3", 80, "Pulsante centrale del mouse", middleButtonList)),
      speedCaption(*this, ListCaption("Label4", 112, "Velocit\xC3\xA0 del puntatore", speedList)),
      joystickCaption(*this, ListCaption("Label6", 144, "Joystick in uso", joystickList)),
      credits(*this, Control::Design("Label5")
                         .At(14, 262, 227, 41)
                         .WithFont(kCreditsFont)
                         .Fore(kCreditsColour)
                         .Transparent()
                         .Caption("Label5")),
      needs_(std::move(needs)) {
    leftButtonList.Click = [this] { Combo1_Click(); };
    rightButtonList.Click = [this] { Combo2_Click(); };
    middleButtonList.Click = [this] { Combo3_Click(); };
    leftButtonList.Change = [this] { Combo1_Change(); };
    rightButtonList.Change = [this] { Combo2_Change(); };
    middleButtonList.Change = [this] { Combo3_Change(); };
    speedList.Click = [this] { Combo4_Click(); };
    speedList.Change = [this] { Combo4_Change(); };
    joystickList.Click = [this] { Combo5_Click(); };
    joystickList.Change = [this] { Combo5_Change(); };
    startAtLogin.Click = [this] { Check1_Click(); };
    acceleration.Click = [this] { Check2_Click(); };
    okButton.Click = [this] { Command1_Click(); };
    cancelButton.Click = [this] { Command2_Click(); };
    applyButton.Click = [this] { Command3_Click(); };
    TitleBarClose = [this] { needs_.unload(); };
}

void frmOpzioni::Form_Load() {
    Platform& platform = needs_.platform;
    Settings& model = needs_.settings;
    const LangTable& text = needs_.text;

    JOYCAPS caps;  // all zeros: no name, no buttons
    ReadJoystickCaps(platform, model.JoystickIndex, caps);

    SetIcon(needs_.icon);

    leftButtonCaption.SetCaption(text[TextId::LeftButtonCaption]);
    rightButtonCaption.SetCaption(text[TextId::RightButtonCaption]);
    middleButtonCaption.SetCaption(text[TextId::MiddleButtonCaption]);
    speedCaption.SetCaption(text[TextId::SpeedCaption]);
    joystickCaption.SetCaption(text[TextId::JoystickCaption]);
    startAtLogin.SetCaption(text[TextId::StartAtLoginCaption]);
    acceleration.SetCaption(text[TextId::AccelerationCaption]);
    okButton.SetCaption(text[TextId::OkButton]);
    cancelButton.SetCaption(text[TextId::CancelButton]);
    applyButton.SetCaption(text[TextId::ApplyButton]);
    credits.SetCaption(std::string(kAuthorsLine) + "\r" + text[TextId::LanguageLine]);

    const uint32_t buttons = std::min(caps.wNumButtons, kMaxJoystickButtons);
    for (uint32_t n = 1; n <= buttons; ++n) {
        const std::string entry = text[TextId::ButtonWord] + " " + std::to_string(n);
        leftButtonList.AddItem(entry);
        rightButtonList.AddItem(entry);
        middleButtonList.AddItem(entry);
    }

    for (const char* speed : {"0.5", "1", "1.5", "2", "2.5", "3"}) speedList.AddItem(speed);

    // A button the joystick does not have selects nothing, and is kept.
    leftChoice_.Load(model.LeftButton);
    rightChoice_.Load(model.RightButton);
    middleChoice_.Load(model.MiddleButton);

    const int joysticks = std::clamp(needs_.joystickCount, 0, kMaxJoystickEntries);
    for (int k = 1; k <= joysticks; ++k) joystickList.AddItem(std::to_string(k));
    joystickChoice_.Load(model.JoystickIndex);

    if (model.SpeedSetting.empty()) model.SpeedSetting = "2";
    speedList.SetText(model.SpeedSetting);

    acceleration.SetValue(model.Acceleration == 1 ? 1 : 0);
    startAtLogin.SetValue(model.StartWithWindows == 1 ? 1 : 0);

    // The name ends at its first NUL and holds at most 32 characters, counted
    // as the program's text counts them, so no character is cut in two.
    const std::string name =
        FirstCharacters(TrimAtNul(caps.szPname), kJoystickNameLength, platform.TextIsUtf8());
    SetCaption(text[TextId::OptionsTitle] + " - " + name);

    applyButton.SetEnabled(false);
}

void frmOpzioni::ListChoice::Load(int16_t value) {
    kept.reset();
    // A value below the first entry's selects nothing and is not kept: it
    // stands for no entry, as `first` - 1 does.
    if (!list.SetListIndex(value - first) && value >= first) kept = value;
}

int16_t frmOpzioni::ListChoice::Value() const {
    return kept.value_or(static_cast<int16_t>(list.ListIndex() + first));
}

void frmOpzioni::ExcludeFrom(ComboBox& changed, ComboBox& first, ComboBox& second) {
    if (first.Text() == changed.Text()) first.SetText("");
    if (second.Text() == changed.Text()) second.SetText("");
}

void frmOpzioni::ButtonListChanged(ListChoice& choice, ComboBox& first, ComboBox& second) {
    // Whatever changed the list (a pick, typing, or the exclusion rule
    // emptying it for another list's pick), it now says what it stands for.
    choice.kept.reset();
    ExcludeFrom(choice.list, first, second);
    applyButton.SetEnabled(true);
}

void frmOpzioni::Combo1_Click() {
    ButtonListChanged(leftChoice_, rightButtonList, middleButtonList);
}

void frmOpzioni::Combo2_Click() {
    ButtonListChanged(rightChoice_, leftButtonList, middleButtonList);
}

void frmOpzioni::Combo3_Click() {
    ButtonListChanged(middleChoice_, leftButtonList, rightButtonList);
}

void frmOpzioni::Combo5_Click() {
    joystickChoice_.kept.reset();
    applyButton.SetEnabled(true);
}

void frmOpzioni::Command3_Click() {
    Settings& model = needs_.settings;
    model.LeftButton = leftChoice_.Value();
    model.RightButton = rightChoice_.Value();
    model.MiddleButton = middleChoice_.Value();
    model.SpeedSetting = speedList.Text();
    model.Acceleration = static_cast<int16_t>(acceleration.Value());
    model.StartWithWindows = static_cast<int16_t>(startAtLogin.Value());
    model.JoystickIndex = joystickChoice_.Value();
    SyncAutostart(needs_.platform, model.StartWithWindows);
    needs_.saveSettings();
    applyButton.SetEnabled(false);
}

void frmOpzioni::Command1_Click() {
    Command3_Click();
    Hide();
}

void frmOpzioni::Command2_Click() {
    Hide();
}

}  // namespace gimbalo
