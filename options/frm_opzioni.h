// The options dialog: an editor of the settings model. Its load step copies
// the model into the controls; Apply and OK copy them back, bring the
// autostart entry into line and rewrite the settings file.
#pragma once

#include <cstdint>
#include <functional>

#include "core/settings.h"
#include "lang/lang_text.h"
#include "platform/forms.h"
#include "platform/platform.h"

namespace gimbalo {

// Most buttons a joystick reports: one bit each in the reading's mask.
constexpr uint32_t kMaxJoystickButtons = 32;
// Most joysticks the joystick list offers.
constexpr int kMaxJoystickEntries = 16;

// What the dialog works with, lent by its owner for the dialog's life.
struct OptionsDialogNeeds {
    Platform& platform;
    Settings& settings;
    const LangTable& text;
    // Joysticks found at start-up: the joystick list offers that many.
    int joystickCount;
    // The main window's icon, which the dialog shows too.
    int32_t icon;
    // Writes the settings file after Apply or OK has changed the model.
    std::function<void()> saveSettings;
    // The title bar's close: the owner unloads the dialog.
    std::function<void()> unload;
};

class frmOpzioni : public Form {
public:
    explicit frmOpzioni(OptionsDialogNeeds needs);

    void Form_Load();
    void Combo1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void Combo1_Change() { Combo1_Click(); }
    void Combo2_Change() { Combo2_Click(); }
    void Combo3_Change() { Combo3_Click(); }
    // The speed, the joystick and the two check boxes only enable Apply.
    void Combo4_Click() { applyButton.SetEnabled(true); }
    void Combo4_Change() { applyButton.SetEnabled(true); }
    void Combo5_Click() { applyButton.SetEnabled(true); }
    void Combo5_Change() { applyButton.SetEnabled(true); }
    void Check1_Click() { applyButton.SetEnabled(true); }
    void Check2_Click() { applyButton.SetEnabled(true); }
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    Image decoration;
    ComboBox leftButtonList;
    ComboBox rightButtonList;
    ComboBox middleButtonList;
    ComboBox speedList;
    ComboBox joystickList;
    CheckBox acceleration;
    CheckBox startAtLogin;
    CommandButton okButton;
    CommandButton applyButton;
    CommandButton cancelButton;
    Label leftButtonCaption;
    Label rightButtonCaption;
    Label middleButtonCaption;
    Label speedCaption;
    Label joystickCaption;
    Label credits;

private:
    // Empties each partner list whose text equals the changed list's text.
    void ExcludeFrom(ComboBox& changed, ComboBox& first, ComboBox& second);

    OptionsDialogNeeds needs_;
};

}  // namespace gimbalo
