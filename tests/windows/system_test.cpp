// The system's part of the Windows backend against the real calls under
// Wine: the autostart value as another program reads it, the single-instance
// mutex as a second copy sees it, the user's country, the folders, and paths
// with letters beyond ASCII naming the same file in every call.
#include <memory>

#include "core/file_io.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

using testing::ChildRole;
using testing::ProcessResult;
using testing::RunTestInChild;
using testing::TestPlatform;
using testing::WideTempFolder;

// The text value `name` of the user's Run key, as any program reads it; ""
// when there is none, or it is of another type.
std::wstring RunValue(const std::string& name) {
    wchar_t data[512] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                     Wide(name).c_str(), RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return {};
    return data;
}

TEST(WindowsSystem, AutostartValueIsWhatAnotherProgramReads) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    const std::string name = "Gimbalo test";
    struct Case {
        std::string path;
        std::wstring data;  // as Windows runs it at log-on
    } cases[] = {
        {"C:\\Gimbalo\\Gimbalo.exe", L"C:\\Gimbalo\\Gimbalo.exe"},
        {"C:\\Program Files\\Gimbalo\\Gimbalo.exe", L"\"C:\\Program Files\\Gimbalo\\Gimbalo.exe\""},
        // The same value written again, for a program moved elsewhere.
        {"D:\\Strumenti\\Gimbalo.exe", L"D:\\Strumenti\\Gimbalo.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(platform->WriteAutostart(name, c.path)) << c.path;
        EXPECT_EQ(RunValue(name), c.data) << c.path;
    }
    EXPECT_TRUE(platform->DeleteAutostart(name));
    EXPECT_EQ(RunValue(name), L"") << "the value is still there";
    EXPECT_TRUE(platform->DeleteAutostart(name)) << "deleting it again is no failure";
}

TEST(WindowsSystem, SecondCopySeesTheFirstUntilItEnds) {
    if (!ChildRole().empty()) GTEST_SKIP() << "the child's part is WindowsSystemChild";
    std::unique_ptr<TestPlatform> first = TestPlatform::Create();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->AnotherInstanceRunning()) << "no other copy runs";
    EXPECT_FALSE(first->AnotherInstanceRunning()) << "asking again";

    for (const wchar_t* role : {L"another-copy-runs", L"alone"}) {
        // Once the first copy has gone, a new one runs alone.
        if (role == std::wstring(L"alone")) first.reset();
        const ProcessResult child = RunTestInChild("WindowsSystemChild.AnotherCopyRuns", role);
        EXPECT_EQ(child.exitCode, 0u) << child.output << child.errors;
        EXPECT_NE(child.output.find("[  PASSED  ] 1 test."), std::string::npos) << child.output;
    }
}

TEST(WindowsSystemChild, AnotherCopyRuns) {
    if (ChildRole().empty()) GTEST_SKIP() << "runs as a child of SecondCopySeesTheFirstUntilItEnds";
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(platform->AnotherInstanceRunning(), ChildRole() == L"another-copy-runs");
}

TEST(WindowsSystem, CountryNameComesWholeWithItsCount) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    wchar_t wide[256] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x1002, wide, 256), 1);
    const std::string expected = Utf8(wide);
    char buffer[256];
    const int count = platform->GetLocaleInfoA(0, LOCALE_SENGCOUNTRY, buffer, 256);
    EXPECT_EQ(count, static_cast<int>(expected.size()) + 1);
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(platform->GetLocaleInfoA(0, LOCALE_SENGCOUNTRY, buffer, 2), 0) << "too small";
    EXPECT_EQ(platform->TwipsPerPixelX(), 15) << "96 DPI";
}

// The program folder is the executable's; a program folder that cannot be
// written keeps the settings in the user's application data instead.
class UnwritableFolderPlatform : public TestPlatform {
public:
    std::string ProgramFolder() override { return "C:\\nowhere\\Programmi"; }
};

TEST(WindowsSystem, SettingsBesideTheProgramOrInApplicationData) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    const std::string program = Utf8(testing::TestProgram());
    EXPECT_EQ(platform->ExecutablePath(), program);
    EXPECT_EQ(platform->ProgramFolder(), program.substr(0, program.rfind('\\')));
    EXPECT_EQ(platform->ExecutableName(), "gimbalo_windows_tests");
    EXPECT_EQ(platform->SettingsFolder(), platform->ProgramFolder())
        << "the build folder is writable";

    auto installed = TestPlatform::Create<UnwritableFolderPlatform>();
    ASSERT_NE(installed, nullptr);
    const std::string appData = Utf8(testing::EnvironmentValue(L"APPDATA"));
    ASSERT_FALSE(appData.empty());
    EXPECT_EQ(installed->SettingsFolder(), appData + "\\Gimbalo");
    const DWORD attributes = GetFileAttributesW(Wide(appData + "\\Gimbalo").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

TEST(WindowsSystem, PathsBeyondAsciiNameTheSameFileEverywhere) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    WideTempFolder folder;
    // é, € and œ: the last two are where Windows-1252 and Latin-1 part.
    const std::string path = folder.Utf8Path() + "\\Lingua \xC3\xA9\xE2\x82\xAC\xC5\x93.lng";
    EXPECT_FALSE(platform->FileExists(path));

    // Written by the program's own file code, found and read by Win32.
    ASSERT_TRUE(ReplaceFile(path, "01 testo\r\n", platform->TextIsUtf8()));
    EXPECT_TRUE(platform->FileExists(path));
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "Win32 finds no file of that name";
    char bytes[32] = {};
    DWORD got = 0;
    ReadFile(file, bytes, sizeof bytes, &got, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(bytes, got), "01 testo\r\n");
    EXPECT_EQ(ReadSmallFile(path, platform->TextIsUtf8()).bytes, std::string("01 testo\r\n"));

    EXPECT_TRUE(platform->SetFileAttributesA(
        path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(GetFileAttributesW(Wide(path).c_str()) & 7u, 7u);
    EXPECT_TRUE(platform->FileExists(path)) << "hidden, system and read-only files count";
    EXPECT_FALSE(platform->FileExists(folder.Utf8Path())) << "a folder is no file";
    EXPECT_FALSE(platform->SetFileAttributesA(folder.Utf8Path() + "\\missing", 1));
}

// The translation page replaces a link (a reparse point) of its name; the
// file it leads to is never written.
TEST(WindowsSystem, APageNameThatIsALinkGivesWayAndItsTargetStays) {
    WideTempFolder folder;
    const std::string target = folder.Utf8Path() + "\\notes.txt";
    const std::string page = folder.Utf8Path() + "\\Invia_Traduzione.html";
    ASSERT_TRUE(ReplaceFile(target, "notes", true));
    // 2: without the right to make links, where Windows allows that.
    CreateSymbolicLinkW(Wide(page).c_str(), Wide(target).c_str(), 2);
    if ((GetFileAttributesW(Wide(page).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        GTEST_SKIP() << "no symbolic links here";
    ASSERT_TRUE(ReplaceFile(page, "page", true));
    EXPECT_EQ(GetFileAttributesW(Wide(page).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(ReadSmallFile(target, true).bytes + ReadSmallFile(page, true).bytes, "notespage");
}

}  // namespace
}  // namespace gimbalo
