// The open and save dialogs of comdlg32 under Wine, driven as a user would
// (a name typed, OK or Cancel) from a tick that runs inside the dialog: the
// record's UTF-8 texts reach the dialog and its answer comes back in UTF-8,
// with folders and names holding é, € and œ.
#include <memory>

#include "platform/common/text_encoding.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

using testing::TestPlatform;
using testing::WideTempFolder;

constexpr char kBeyondAscii[] = "\xC3\xA9\xE2\x82\xAC\xC5\x93";  // é€œ
// The dialog's file name box: a combo box in the Explorer-style dialog.
constexpr int kFileNameBox = 0x47c;

TEST(WindowsFileDialogs, TypedNamesComeBackInFullAndCancelGivesNothing) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    testing::MenuWindow form;
    platform->LoadForm(form);
    form.Timer1.Tick = [] {};
    form.Timer1.SetInterval(5);
    WideTempFolder folder;
    const std::string lang = folder.Utf8Path() + "\\Lang";
    CreateDirectoryW(Wide(lang).c_str(), nullptr);
    const std::string title = std::string("Lingua ") + kBeyondAscii;
    testing::WriteWideFile(Wide(lang + "\\Deutsch.lng"), "01 x\r\n");

    struct Case {
        bool open;
        uint32_t flags;
        std::wstring typed;  // empty: Cancel
        std::string answer;  // the file buffer up to its closing NULs
    } cases[] = {
        {true, 0, Wide(std::string("Lingua ") + kBeyondAscii + ".lng"),
         lang + "\\Lingua " + kBeyondAscii + ".lng"},
        // The default extension goes on a name typed without one (Wine's
        // open dialog adds it only for a file that is there).
        {true, 0, L"Deutsch", lang + "\\Deutsch.lng"},
        {false, 0, Wide(std::string("Pagina ") + kBeyondAscii),
         lang + "\\Pagina " + kBeyondAscii + ".lng"},
        {true, OFN_ALLOWMULTISELECT, L"\"Uno.lng\" \"Due.lng\"",
         lang + std::string(1, '\0') + "Uno.lng" + std::string(1, '\0') + "Due.lng"},
        {true, 0, L"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.typed));
        if (c.flags & OFN_ALLOWMULTISELECT)
            for (const char* name : {"\\Uno.lng", "\\Due.lng"})
                testing::WriteWideFile(Wide(lang + name), "01 x\r\n");
        OPENFILENAME record;
        record.hwndOwner = &form;
        record.lpstrFilter = std::string("Lingue") + '\0' + "*.lng";
        record.nFilterIndex = 1;
        record.nMaxFile = 256;
        record.lpstrFile = std::string(256, '\0');
        record.nMaxFileTitle = 256;
        record.lpstrFileTitle = std::string(256, '\0');
        record.lpstrInitialDir = lang;
        record.lpstrTitle = title;
        record.lpstrDefExt = "lng";
        record.Flags = c.flags;

        std::string seenTitle;
        bool answered = false;
        platform->onDispatch = [&](Timer&) {
            HWND dialog = testing::ShownWindowOfClass("#32770");
            if (dialog == nullptr || answered) return;
            seenTitle = testing::TextOf(dialog);
            if (!c.typed.empty()) SetDlgItemTextW(dialog, kFileNameBox, c.typed.c_str());
            PostMessageW(dialog, WM_COMMAND, c.typed.empty() ? IDCANCEL : IDOK, 0);
            answered = true;
        };
        const bool chosen =
            c.open ? platform->GetOpenFileNameA(record) : platform->GetSaveFileNameA(record);
        EXPECT_EQ(seenTitle, title);
        EXPECT_EQ(chosen, !c.answer.empty());
        if (!chosen) continue;
        const std::size_t end = record.lpstrFile.find(std::string(2, '\0'));
        EXPECT_EQ(record.lpstrFile.substr(0, end), c.answer);
        EXPECT_EQ(CharacterCount(record.lpstrFile, true), 256u) << "NUL-padded to its size";
        // The name starts after the folder, counted in characters.
        EXPECT_EQ(record.nFileOffset, CharacterCount(lang, true) + 1);
    }
    platform->onDispatch = nullptr;
    platform->UnloadForm(form);
}

}  // namespace
}  // namespace gimbalo
