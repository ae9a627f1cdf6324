// The whole program on the sim desktop, driven by fuzzed stick readings,
// button presses, unplugs, time, menu commands, dialog answers, the options
// dialog and the tray icon. However it went, after the program exits no
// mouse button is held, no tray icon is left, and a settings file it wrote
// has eight lines.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "app/program.h"
#include "fuzz/fuzz_support.h"
#include "options/frm_opzioni.h"
#include "platform/sim/sim_platform.h"
#include "replay/script.h"
#include "shell/frm_about.h"

using namespace gimbalo;

namespace {

namespace fs = std::filesystem;

// The language files that ship, copied once into the harness's folder.
const std::string& ProgramFolder() {
    static const std::string folder = [] {
        fs::copy(fs::path(GIMBALO_DATA_DIR) / "Lang", fs::path(fuzz::Folder()) / "Lang",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        return fuzz::Folder();
    }();
    return folder;
}

// Mouse buttons held on the desktop, followed through the injected events.
class HeldButtons {
public:
    void Follow(uint32_t flags) {
        FUZZ_REQUIRE((flags & ~kAll) == 0 && flags != 0, "only button events are injected");
        for (const auto& [down, up] : kPairs) {
            if (flags & down) held_ |= down;
            if (flags & up) held_ &= ~down;
        }
    }
    bool Any() const { return held_ != 0; }

private:
    static constexpr std::pair<uint32_t, uint32_t> kPairs[] = {
        {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
        {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
        {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP},
    };
    static constexpr uint32_t kAll = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP |
                                     MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP |
                                     MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_MIDDLEUP;
    uint32_t held_ = 0;
};

void WriteFile(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_REQUIRE(file != nullptr, "the settings file can be prepared");
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string text;
    char block[512];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
    std::fclose(file);
    return text;
}

std::string DialogAnswer(fuzz::Input& in, const std::string& folder) {
    switch (in.Pick(6)) {
        case 0:
            return folder + "/Lang/English.lng";
        case 1:
            return folder + "/Lang/Italiano.lng";
        case 2:
            return "/elsewhere/Lang/Deutsch.lng";
        case 3:
            return folder + "/Lang/../outside.lng";
        case 4:
            return folder + "/Lang/extra/" + in.Text(40);
        default:
            return in.Text(80);
    }
}

void UseOptionsDialog(fuzz::Input& in, Program& program) {
    frmOpzioni* dialog = program.OptionsDialog();
    if (dialog == nullptr) {
        program.RunMenuCommand("mnuDef");
        return;
    }
    const int index = static_cast<int>(in.Pick(40)) - 1;
    switch (in.Pick(11)) {
        case 0:
            dialog->leftButtonList.UserPick(index);
            break;
        case 1:
            dialog->rightButtonList.UserPick(index);
            break;
        case 2:
            dialog->middleButtonList.UserPick(index);
            break;
        case 3:
            dialog->speedList.UserPick(index);
            break;
        case 4:
            dialog->speedList.UserType(in.Text(12));
            break;
        case 5:
            dialog->joystickList.UserPick(index);
            break;
        case 6:
            dialog->startAtLogin.UserToggle();
            break;
        case 7:
            dialog->acceleration.UserToggle();
            break;
        case 8:
            dialog->okButton.UserClick();
            break;
        case 9:
            dialog->cancelButton.UserClick();
            break;
        default:
            dialog->applyButton.UserClick();
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string& folder = ProgramFolder();
    const std::string settingsPath = folder + "/Gimbalo.ini";
    // The settings file this start finds: none, the usual one, or any bytes.
    std::optional<std::string> initial;
    switch (in.Pick(3)) {
        case 0:
            break;
        case 1:
            initial = "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n";
            break;
        default:
            initial = in.Text(120);
            break;
    }
    if (initial)
        WriteFile(settingsPath, *initial);
    else
        fs::remove(settingsPath);

    SimPlatform sim(folder);
    sim.AddJoystick("Pad", static_cast<uint32_t>(1 + in.Pick(32)));
    if (in.Byte() & 1) sim.AddJoystick("Second pad", 12);
    sim.SetCountryName(in.Byte() & 1 ? "Italy" : "United Kingdom");
    Program program(sim);
    program.Start();

    for (int step = 0; step < 300 && !in.Empty() && !sim.ProgramEnded(); ++step) {
        switch (in.Pick(12)) {
            case 0:
            case 1: {
                const uint32_t x = in.Word();
                const uint32_t y = in.Word();
                sim.SetStick(x * 2, y * 2, in.Word());
                break;
            }
            case 2:
            case 3:
                sim.AdvanceTime(1 + static_cast<int>(in.Pick(100)));
                break;
            case 4:
                sim.Joystick(0).present = !sim.Joystick(0).present;
                break;
            case 5: {
                // Any command but the exit, which comes below.
                const std::size_t item = in.Pick(std::size(kScriptMenuItems) - 1);
                program.RunMenuCommand(std::string(kScriptMenuItems[item]));
                break;
            }
            case 6:
                if (in.Byte() & 1)
                    sim.QueueDialogAnswer(std::nullopt);
                else
                    sim.QueueDialogAnswer(DialogAnswer(in, folder),
                                          (in.Byte() & 1) ? OFN_ALLOWMULTISELECT : 0);
                break;
            case 7:
                UseOptionsDialog(in, program);
                break;
            case 8: {
                if (in.Byte() & 1) sim.QueueMenuChoice(std::string(kScriptMenuItems[in.Pick(8)]));
                const int32_t messages[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,
                                            WM_RBUTTONDOWN, WM_RBUTTONUP,   WM_LBUTTONDBLCLK};
                program.mainWindow.Form_MouseMove(0, 0,
                                                  static_cast<float>(messages[in.Pick(6)] * 15), 0);
                break;
            }
            case 9:
                if (program.AboutBox() != nullptr && (in.Byte() & 1))
                    program.UnloadAboutBox();
                else
                    program.RunMenuCommand("mnuAbout");
                break;
            case 10:
                sim.SetScreen(1 + in.Pick(200) * 10, 1 + in.Pick(200) * 10);
                break;
            default:
                // The exit, from the menu or the window's close request; rare.
                if (in.Byte() == 0) program.RunMenuCommand("mnuExit");
                break;
        }
    }
    if (!sim.ProgramEnded()) program.Exit();

    HeldButtons held;
    for (uint32_t flags : sim.buttonEvents) held.Follow(flags);
    FUZZ_REQUIRE(!held.Any(), "no mouse button is held after the exit");
    FUZZ_REQUIRE(sim.TrayIcons().empty(), "no tray icon is left");
    // A settings file the program wrote has eight lines, each ended by CR LF.
    if (const std::optional<std::string> text = ReadFile(settingsPath); text && text != initial) {
        FUZZ_REQUIRE(std::count(text->begin(), text->end(), '\n') == 8 &&
                         std::count(text->begin(), text->end(), '\r') == 8 &&
                         text->ends_with("\r\n"),
                     "eight lines: " + *text);
        for (std::size_t at = text->find('\r'); at != std::string::npos;
             at = text->find('\r', at + 1))
            FUZZ_REQUIRE((*text)[at + 1] == '\n', "each line ends with CR LF");
    }
    return 0;
}
