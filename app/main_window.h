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

class Gimbalo : public Form {
public:
    explicit Gimbalo(Program& program);

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

    Timer Timer1{*this, "Timer1"};

    // Sources of the menu pictures, 13 x 13 pixels each.
    Image Img1;
    Image Img2;
    Image Img3;
    Image Img4;
    Image Img5;
    Image Img6;

    Menu PopUp{*this, "PopUp", "Gimbalo"};
    MenuItem mnuDef{PopUp, "mnuDef", "&Opzioni..."};
    MenuItem R0{PopUp, "R0", "-"};
    MenuItem mnuLingua{PopUp, "mnuLingua", "&Lingua"};
    MenuItem mnuAggLingua{PopUp, "mnuAggLingua", "Aggiungi lingua..."};
    MenuItem R1{PopUp, "R1", "-"};
    MenuItem mnuDonazione{PopUp, "mnuDonazione", "Fai una &donazione..."};
    MenuItem R4{PopUp, "R4", "-"};
    MenuItem mnuAggiornamenti{PopUp, "mnuAggiornamenti", "&Controlla aggiornamenti..."};
    MenuItem R3{PopUp, "R3", "-"};
    MenuItem mnuLicenza{PopUp, "mnuLicenza", "Licenza..."};
    MenuItem mnuVersioni{PopUp, "mnuVersioni", "&Versioni del programma..."};
    MenuItem mnuAbout{PopUp, "mnuAbout", "&Informazioni..."};
    MenuItem R2{PopUp, "R2", "-"};
    MenuItem mnuExit{PopUp, "mnuExit", "&Esci"};

    // Joysticks that answered at start-up; the options dialog lists them.
    int joystickCount = 0;
    int32_t TrayIconPicture = 0;
    // Mouse message decoded from the latest tray callback.
    int32_t TrayMessage = 0;
    PollingLoop Polling;
    // Sleeps between ticks while the stick rests.
    PollingRest Rest;

private:
    Program& program_;
};

}  // namespace gimbalo
