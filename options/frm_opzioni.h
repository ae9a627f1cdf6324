// The options dialog: an editor of the settings model. Its load step copies
// the model into the controls; Apply and OK copy them back, bring the
// autostart entry into line and rewrite the settings file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

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
    // The speed and the two check boxes only enable Apply; the joystick list
    // also stops keeping a joystick it could not show.
    void Combo4_Click() { applyButton.SetEnabled(true); }
    void Combo4_Change() { applyButton.SetEnabled(true); }
    void Combo5_Click();
    void Combo5_Change() { Combo5_Click(); }
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
    // A list and the setting it stands for, `first` being the value of its
    // first entry. A setting the list cannot show (a button beyond those of
    // the joystick in use, any button when that joystick does not answer, a
    // joystick beyond those counted) is kept as it was until the user
    // changes that list: OK with nothing changed loses no mapping.
    struct ListChoice {
        ComboBox& list;
        int first;
        std::optional<int16_t> kept;
        // Shows `value`; keeps it when the list has no entry for it.
        void Load(int16_t value);
        // The setting the list stands for now: `first` - 1 for no entry.
        int16_t Value() const;
    };

    // Empties each partner list whose text equals the changed list's text.
    void ExcludeFrom(ComboBox& changed, ComboBox& first, ComboBox& second);
    // The user, or the exclusion rule, changed `choice`'s list.
    void ButtonListChanged(ListChoice& choice, ComboBox& first, ComboBox& second);

    OptionsDialogNeeds needs_;
    ListChoice leftChoice_{leftButtonList, 1, {}};
    ListChoice rightChoice_{rightButtonList, 1, {}};
    ListChoice middleChoice_{middleButtonList, 1, {}};
    ListChoice joystickChoice_{joystickList, 0, {}};
};

}  // namespace gimbalo
