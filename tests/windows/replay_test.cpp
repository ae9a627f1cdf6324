// gimbalo-replay.exe run as a user runs it, under Wine: a copy of it in a
// folder of its own, a script in; the trace, the messages, the settings file
// and the manifest beside it out.
#include <memory>

#include "tests/replay_trace_reading.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

using testing::ChildProcess;
using testing::ProcessResult;
using testing::ReadWideFile;
using testing::WaitUntil;
using testing::WideTempFolder;
using testing::WriteWideFile;

// é, € and œ in UTF-8, and "é €œ" as Windows-1252 writes it (without the
// blank its bytes would happen to be UTF-8 as well).
constexpr char kBeyondAscii[] = "\xC3\xA9\xE2\x82\xAC\xC5\x93";
constexpr char kBeyondAscii1252[] = "\xE9 \x80\x9C";
constexpr char kBeyondAscii1252Read[] = "\xC3\xA9 \xE2\x82\xAC\xC5\x93";
const std::string kLanguageName = std::string("Lingua ") + kBeyondAscii + ".lng";

class WindowsReplay : public ::testing::Test {
protected:
    void SetUp() override {
        program = folder.Path() + L"\\gimbalo-replay.exe";
        ASSERT_TRUE(CopyFileW(testing::BesideTestProgram(L"gimbalo-replay.exe").c_str(),
                              program.c_str(), FALSE));
        // No pictures folder: the program carries its pictures.
        CreateDirectoryW((folder.Path() + L"\\Lang").c_str(), nullptr);
        settings = folder.Path() + L"\\Impostazioni " + Wide(kBeyondAscii);
        // The runs start with the pointer in the middle of the screen, where
        // it can go any way.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    }

    // Starts the copy on `script`, with its settings in their own folder.
    std::unique_ptr<ChildProcess> Start(const std::string& script) {
        const std::wstring path = folder.Path() + L"\\run.replay";
        EXPECT_TRUE(WriteWideFile(path, script));
        return std::make_unique<ChildProcess>(L'"' + program + L"\" \"" + path +
                                              L"\" --trace --settings \"" + settings + L'"');
    }
    ProcessResult Run(const std::string& script) { return Start(script)->Wait(); }

    std::string SettingsFile() const { return ReadWideFile(settings + L"\\Gimbalo.ini"); }
    bool WriteLanguage(const std::string& name, const std::string& text) {
        return WriteWideFile(folder.Path() + L"\\Lang\\" + Wide(name), text);
    }
    // A settings file of the usual values that names `language`.
    bool WriteSettings(const std::string& language) {
        CreateDirectoryW(settings.c_str(), nullptr);
        return WriteWideFile(settings + L"\\Gimbalo.ini",
                             "1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\n" + language + "\r\n");
    }

    WideTempFolder folder;
    std::wstring program;
    std::wstring settings;
};

TEST_F(WindowsReplay, StickAndButtonMoveAndClickTickByTick) {
    const ProcessResult run =
        Run("joystick \"Pad\" buttons=4\n"
            "at 0: x=32768 y=32768\n"
            "at 2: x=0\n"          // held left: 2 pixels a tick
            "at 5: buttons=0x1\n"  // button 1: the left mouse button
            "at 8: x=32768 buttons=0\n"
            "at 12: y=65535\n"  // held down
            "at 14: quit\n");
    ASSERT_EQ(run.exitCode, 0u) << run.errors;
    const Trace trace = ReadTrace(run.output);
    ASSERT_EQ(trace.ticks.size(), 14u) << run.output;
    // The first deflected ticks: the step is the speed once the stick has
    // rested a tick.
    for (std::size_t tick = 3; tick < 8; ++tick)
        EXPECT_EQ(PointerX(trace.ticks[tick]), PointerX(trace.ticks[tick - 1]) - 2) << tick;
    EXPECT_EQ(trace.ticks[5].at("events"), "LEFTDOWN");
    EXPECT_EQ(trace.ticks[6].at("events"), "-") << "a held button presses once";
    EXPECT_EQ(trace.ticks[8].at("events"), "LEFTUP");
    EXPECT_EQ(PointerY(trace.ticks[13]), PointerY(trace.ticks[11]) + 4);
    EXPECT_EQ(trace.end.at("ticks"), "14");

    // The first start wrote the visual-styles manifest beside the program,
    // byte for byte, read-only, hidden and system.
    const std::wstring manifest = program + L".manifest";
    EXPECT_EQ(ReadWideFile(manifest),
              ReadWideFile(Wide(GIMBALO_TEST_DATA_DIR "/../tests/data/Gimbalo.exe.manifest")));
    EXPECT_EQ(GetFileAttributesW(manifest.c_str()) & 7u, 7u);
    // The settings went to the folder asked for, not beside the program.
    EXPECT_FALSE(SettingsFile().empty());
    EXPECT_EQ(GetFileAttributesW((folder.Path() + L"\\Gimbalo.ini").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST_F(WindowsReplay, ExitFromTheMenuWhileAButtonIsHeldLetsItGo) {
    const ProcessResult run =
        Run("joystick \"Pad\" buttons=2\n"
            "at 3: buttons=0x2\n"  // button 2: the right mouse button
            "at 6: menu mnuExit\n");
    ASSERT_EQ(run.exitCode, 0u) << run.errors;
    const Trace trace = ReadTrace(run.output);
    ASSERT_EQ(trace.ticks.size(), 6u) << run.output;
    EXPECT_EQ(trace.ticks[3].at("events"), "RIGHTDOWN");
    ASSERT_EQ(trace.menus.size(), 1u);
    EXPECT_EQ(trace.end.at("events"), "RIGHTUP");
    EXPECT_NE(SettingsFile().find("\r\n"), std::string::npos) << "the exit saves the settings";
}

TEST_F(WindowsReplay, TextsBeyondAsciiReadRightWhereverTheProgramLives) {
    // A language file in Windows-1252 named with é, € and œ, in the folder
    // of a program whose own path holds them too, named by the settings.
    std::string language;
    for (int line = 1; line <= 29; ++line) {
        std::string text = "testo " + std::to_string(line);
        if (line == 4) text = std::string("Titolo ") + kBeyondAscii1252;
        if (line == 24) text = std::string("Nessun joystick ") + kBeyondAscii1252;
        language += (line < 10 ? "0" : "") + std::to_string(line) + " " + text + "\r\n";
    }
    ASSERT_TRUE(WriteLanguage(kLanguageName, language));
    ASSERT_TRUE(WriteSettings(kLanguageName));

    // No joystick: the start-up message, in the language file's words.
    const ProcessResult run = Run("at 10: quit\n");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find(std::string("message \"Titolo ") + kBeyondAscii1252Read +
                              "\": Nessun joystick " + kBeyondAscii1252Read + "\\r\\rtesto 25"),
              std::string::npos)
        << run.errors;
    EXPECT_TRUE(ReadTrace(run.output).ticks.empty());
}

TEST_F(WindowsReplay, LanguageChosenFromTheMenuIsSavedUnderItsName) {
    ASSERT_TRUE(WriteLanguage(kLanguageName, "01 Ok\r\n26 Lingua...\r\n"));
    ASSERT_TRUE(WriteLanguage("English.lng", std::string(25, '\n') + "26 Language...\r\n"));
    ASSERT_TRUE(WriteSettings("English.lng"));
    const ProcessResult run =
        Run("joystick \"Pad\" buttons=4\nat 5: dialog \"" + Utf8(folder.Path()) + "\\Lang\\" +
            kLanguageName + "\"\nat 5: menu mnuLingua\nat 10: quit\n");
    ASSERT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_EQ(SettingsFile(), "1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\n" + kLanguageName + "\r\n");
}

TEST_F(WindowsReplay, SecondCopyEndsWithItsMessageAndTheFirstClosesWhenAsked) {
    std::unique_ptr<ChildProcess> first = Start(
        "joystick \"Pad\" buttons=4\n"
        "at 100000: quit\n");
    // Up once it rests on the centred stick.
    ASSERT_TRUE(WaitUntil([&] { return first->Output().find("rest tick=") != std::string::npos; }))
        << first->Errors();

    const ProcessResult second = Run("joystick \"Pad\" buttons=4\nat 5: quit\n");
    EXPECT_EQ(second.exitCode, 1u);
    // No language is loaded at a first start: the program's name alone,
    // with a blank on each side.
    EXPECT_NE(second.errors.find("message \"\":  gimbalo-replay \n"), std::string::npos)
        << "the already-running message names the program: " << second.errors;

    // Asked to close, as Windows asks at log-off or taskkill does: the
    // program closes as its exit command does.
    HWND hidden = nullptr;
    while ((hidden = FindWindowExW(nullptr, hidden, L"GimbaloMessageWindow", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hidden, &owner);
        if (owner == first->Id()) break;
    }
    ASSERT_NE(hidden, nullptr) << "the first copy has no window";
    PostMessageW(hidden, WM_CLOSE, 0, 0);
    const ProcessResult closed = first->Wait();
    EXPECT_EQ(closed.exitCode, 0u) << closed.errors;
    EXPECT_FALSE(ReadTrace(closed.output).end.empty());
    EXPECT_FALSE(SettingsFile().empty()) << "closing saves the settings";
}

}  // namespace
}  // namespace gimbalo
