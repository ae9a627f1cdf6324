// What Gimbalo.exe carries for Windows to read without running it: the
// version information under the product name "Gimbalo", the program's icon,
// the embedded manifest (the user's own rights, common controls 6, DPI
// awareness per monitor), and its pictures.
#include <algorithm>
#include <string>

#include "platform/common/picture_files.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

// One string of the version information, "" when it has none.
std::wstring VersionString(const std::wstring& program, const wchar_t* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoW(program.c_str(), 0, size, info.data())) return {};
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return std::wstring(value, length > 0 ? length - 1 : 0);
}

TEST(WindowsResources, ProgramCarriesItsVersionIconManifestAndPictures) {
    const std::wstring program = testing::BesideTestProgram(L"Gimbalo.exe");
    EXPECT_EQ(VersionString(program, L"ProductName"), L"Gimbalo");
    EXPECT_EQ(VersionString(program, L"ProductVersion"),
              std::to_wstring(GIMBALO_VERSION_MAJOR) + L"." +
                  std::to_wstring(GIMBALO_VERSION_MINOR) + L"." +
                  std::to_wstring(GIMBALO_VERSION_PATCH));
    EXPECT_GE(ExtractIconExW(program.c_str(), -1, nullptr, nullptr, 0), 1u) << "no icon";

    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr) << "no embedded manifest";
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    for (const char* part :
         {"level=\"asInvoker\"", "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
          "processorArchitecture=\"X86\"", "PerMonitorV2"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    for (const char* picture : {kProgramIconPicture, kMenuOptionsPicture, kHandPointerPicture,
                                kAboutPanelPicture, kOptionsDecorationPicture}) {
        std::wstring name = Wide(picture);
        std::transform(name.begin(), name.end(), name.begin(), ::towupper);
        EXPECT_NE(FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10)), nullptr) << picture;
    }
    FreeLibrary(module);
}

}  // namespace
}  // namespace gimbalo
