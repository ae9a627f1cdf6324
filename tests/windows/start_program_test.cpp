// Starting programs from the program's command lines under Wine: another
// program gets the rest of the line as its one argument, "explorer PATH"
// opens the file with the program registered for its kind, and both get the
// window state asked for. The programs started are copies of this test
// program that note how they were started.
#include <memory>

#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

using testing::ChildRole;
using testing::ScopedEnv;
using testing::TestPlatform;
using testing::TestProgram;
using testing::WaitUntil;
using testing::WideTempFolder;

constexpr wchar_t kNoteRole[] = L"note-start";
constexpr wchar_t kChildTest[] = L"StartProgramChild.NotesHowItWasStarted";

// Started by the tests below: writes its one argument and its window state
// to the file GIMBALO_TEST_NOTE names.
TEST(StartProgramChild, NotesHowItWasStarted) {
    if (ChildRole() != kNoteRole) GTEST_SKIP() << "runs as a program the tests below start";
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    std::string note = std::to_string(count) + "\n";
    for (int i = 1; i < count; ++i) note += Utf8(arguments[i]) + "\n";
    note += "show " +
            std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1);
    LocalFree(arguments);
    testing::WriteWideFile(testing::EnvironmentValue(L"GIMBALO_TEST_NOTE"), note);
}

// A kind of file whose "open" starts this test program with the file.
class RegisteredKind {
public:
    RegisteredKind() {
        SetValue(L".gimbalotest", L"GimbaloTest.File");
        SetValue(L"GimbaloTest.File\\shell\\open\\command", L'"' + TestProgram() + L"\" \"%1\"");
    }
    ~RegisteredKind() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".gimbalotest");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"GimbaloTest.File");
    }

private:
    static void SetValue(const wchar_t* key, const std::wstring& value) {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
};

TEST(WindowsStartProgram, ProgramGetsItsArgumentAndWindowState) {
    if (!ChildRole().empty()) GTEST_SKIP();
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    WideTempFolder folder;
    RegisteredKind kind;
    const std::string document =
        folder.Utf8Path() + "\\Versioni \xC3\xA9\xE2\x82\xAC\xC5\x93.gimbalotest";
    ASSERT_TRUE(testing::WriteWideFile(Wide(document), "x"));
    const std::string program = '"' + Utf8(TestProgram()) + '"';

    struct Case {
        std::string commandLine;
        int showStyle;
        std::string argument;  // as the started program reads it
    } cases[] = {
        {program + " one argument, \"quoted\" part and a trailing \\", SW_SHOWMAXIMIZED,
         "one argument, \"quoted\" part and a trailing \\"},
        {"Explorer " + document, SW_SHOWNORMAL, document},
        {"explorer \"" + document + '"', SW_SHOWMAXIMIZED, document},
    };
    const std::wstring note = folder.Path() + L"\\note.txt";
    ScopedEnv role(L"GIMBALO_TEST_CHILD", kNoteRole);
    ScopedEnv filter(L"GTEST_FILTER", kChildTest);
    ScopedEnv noteFile(L"GIMBALO_TEST_NOTE", note);
    for (const Case& c : cases) {
        DeleteFileW(note.c_str());
        EXPECT_TRUE(platform->StartProgram(c.commandLine, c.showStyle)) << c.commandLine;
        std::string written;
        EXPECT_TRUE(WaitUntil([&] {
            written = testing::ReadWideFile(note);
            return written.find("show ") != std::string::npos;
        })) << c.commandLine;
        EXPECT_EQ(written, "2\n" + c.argument + "\nshow " + std::to_string(c.showStyle))
            << c.commandLine;
    }
    for (const char* nothing : {"", "explorer", "   ", "no-such-program-here.exe x"})
        EXPECT_FALSE(platform->StartProgram(nothing, SW_SHOWNORMAL)) << '"' << nothing << '"';
}

}  // namespace
}  // namespace gimbalo
