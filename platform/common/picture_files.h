// File names of the pictures shipped in the pictures folder, for LoadPicture.
#pragma once

namespace gimbalo {

// The program's icon: the tray icon and every window's icon.
constexpr const char* kProgramIconPicture = "gimbalo.png";  // 256 x 256

// Menu pictures, 13 x 13, in the order of the main window's Img1 to Img6.
constexpr const char* kMenuOptionsPicture = "menu_options.png";    // Img1, mnuDef
constexpr const char* kMenuAboutPicture = "menu_about.png";        // Img2, mnuAbout
constexpr const char* kMenuUpdatesPicture = "menu_updates.png";    // Img3, mnuAggiornamenti
constexpr const char* kMenuDonationPicture = "menu_donation.png";  // Img4, mnuDonazione
constexpr const char* kMenuLicencePicture = "menu_licence.png";    // Img5, mnuLicenza
constexpr const char* kMenuExitPicture = "menu_exit.png";          // Img6, mnuExit

// About box: imgTitle (77 x 75) and Image1 on the credits panel (150 x 120).
constexpr const char* kAboutTitlePicture = "about_title.png";
constexpr const char* kAboutPanelPicture = "about_panel.png";

// Options dialog: Image2 (158 x 138).
constexpr const char* kOptionsDecorationPicture = "options_decoration.png";

// The pointing hand over links and the options dialog's controls, 32 x 32,
// with its hot spot at the tip of the index finger.
constexpr const char* kHandPointerPicture = "hand.png";
constexpr int kHandHotSpotX = 12;
constexpr int kHandHotSpotY = 1;

}  // namespace gimbalo
