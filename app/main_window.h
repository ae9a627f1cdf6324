// The hidden main window: it brings the program up, owns the polling timer
// and its tick, the popup menu with its pictures, receives the tray icon's
// callbacks, and takes the program down.
#pragma once

#include <cstdint>

#include "core/polling_loop.h"
#include "core/polling_rest.h"
#include "platform/forms.h"

namespace gimbalo {

class Program;

// Tooltip of the notification-area icon.
constexpr const char* kTrayTip = "Animated TrayIcon";
// Period of the polling timer, in milliseconds.
constexpr int kPollingInterval = 5;

class MainWindow : public Form {
public:
    explicit MainWindow(Program& program);

    void Form_Initialize();
    void Form_Load();
    void Form_Unload();
    // The tray callback: x carries the number of the mouse message, in twips.
    void Form_MouseMove(int button, int shift, float x, float y);

    // Attaches `picture` beside item `itemPosition` of submenu `submenu` of
    // the window's menu bar. False when a menu operation failed.
    bool SetMenuPicture(int16_t submenu, int16_t itemPosition, const Image& picture);
    // Captions the menu items from LangText; separators keep theirs.
    void ApplyMenuCaptions();

    void mnuDef_Click();
    void mnuLingua_Click();
    void mnuAggLingua_Click();
    void mnuDonazione_Click();
    void mnuAggiornamenti_Click();
    void mnuLicenza_Click();
    void mnuVersioni_Click();
    void mnuAbout_Click();
    void mnuExit_Click();

    Timer pollingTimer{*this, "Timer1"};

    // Sources of the menu pictures, 13 x 13 pixels each.
    Image optionsPicture;
    Image aboutPicture;
    Image updatesPicture;
    Image donationPicture;
    Image licencePicture;
    Image exitPicture;

    Menu popupMenu{*this, "PopUp", "Gimbalo"};
    MenuItem optionsItem{popupMenu, "mnuDef", "&Opzioni..."};
    MenuItem separator0{popupMenu, "R0", "-"};
    MenuItem languageItem{popupMenu, "mnuLingua", "&Lingua"};
    MenuItem addLanguageItem{popupMenu, "mnuAggLingua", "Aggiungi lingua..."};
    MenuItem separator1{popupMenu, "R1", "-"};
    MenuItem donationItem{popupMenu, "mnuDonazione", "Fai una &donazione..."};
    MenuItem separator4{popupMenu, "R4", "-"};
    MenuItem updatesItem{popupMenu, "mnuAggiornamenti", "&Controlla aggiornamenti..."};
    MenuItem separator3{popupMenu, "R3", "-"};
    MenuItem licenceItem{popupMenu, "mnuLicenza", "Licenza..."};
    MenuItem versionHistoryItem{popupMenu, "mnuVersioni", "&Versioni del programma..."};
    MenuItem aboutItem{popupMenu, "mnuAbout", "&Informazioni..."};
    MenuItem separator2{popupMenu, "R2", "-"};
    MenuItem exitItem{popupMenu, "mnuExit", "&Esci"};

    // Joysticks that answered at start-up; the options dialog lists them.
    int joystickCount = 0;
    int32_t TrayIconPicture = 0;
    // Mouse message decoded from the latest tray callback.
    int32_t trayMessage = 0;
    PollingLoop polling;
    // Sleeps between ticks while the stick rests.
    PollingRest rest;

private:
    Program& program_;
};

}  // namespace gimbalo
