// The shipped pictures as Windows gets them through WIC under Wine: handles
// by file, bitmaps that keep the picture's transparency over a background,
// and icons at the sizes asked for.
#include "platform/windows/picture_store.h"

#include <objbase.h>

#include "platform/common/picture_files.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

// WIC is COM: a store needs COM on its thread, as the platform starts it.
struct ComScope {
    ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComScope() { CoUninitialize(); }
};

class WindowsPictures : public ::testing::Test {
protected:
    ComScope com;
    PictureStore store{Utf8(testing::BesideTestProgram(L"pictures"))};
};

// The colour of one pixel of a bitmap, as a COLORREF.
COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF colour = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colour;
}

TEST_F(WindowsPictures, ShippedPicturesLoadOnceEachAndNothingElseDoes) {
    struct Case {
        const char* file;
        int width, height;  // 0: no picture
    } cases[] = {
        {kMenuOptionsPicture, 13, 13},
        {kAboutTitlePicture, 77, 75},
        {kOptionsDecorationPicture, 158, 138},
        {"missing.png", 0, 0},
        {"..\\pictures\\gimbalo.png", 0, 0},  // nothing outside the folder
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        const int32_t handle = store.Load(c.file);
        EXPECT_EQ(handle != 0, c.width != 0) << c.file;
        if (handle == 0) continue;
        EXPECT_EQ(store.Load(c.file), handle) << c.file << ": loaded twice";
        EXPECT_EQ(store.Size(handle).cx, c.width) << c.file;
        EXPECT_EQ(store.Size(handle).cy, c.height) << c.file;
    }
    EXPECT_EQ(store.Bitmap(999), nullptr);
    EXPECT_EQ(store.Icon(999, 16, 16), nullptr);
}

TEST_F(WindowsPictures, BitmapsAndIconsAreMadeAtTheSizeAsked) {
    const int32_t icon = store.Load(kProgramIconPicture);
    ASSERT_NE(icon, 0);
    for (int size : {16, 20, 32, 48}) {
        HICON made = store.Icon(icon, size, size);
        ASSERT_NE(made, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(made, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        EXPECT_EQ(store.Icon(icon, size, size), made) << "made once per size";
    }

    // The menu picture over two backgrounds: its transparent corner takes
    // each background, its drawn middle stays the same.
    const int32_t menu = store.Load(kMenuExitPicture);
    ASSERT_NE(menu, 0);
    HBITMAP overWhite = store.OpaqueBitmap(menu, RGB(255, 255, 255), 26, 26);
    HBITMAP overBlack = store.OpaqueBitmap(menu, RGB(0, 0, 0), 26, 26);
    ASSERT_NE(overWhite, nullptr);
    ASSERT_NE(overBlack, nullptr);
    BITMAP scaled{};
    GetObjectW(overWhite, sizeof scaled, &scaled);
    EXPECT_EQ(scaled.bmWidth, 26);
    EXPECT_EQ(PixelOf(overWhite, 0, 0), static_cast<COLORREF>(RGB(255, 255, 255)));
    EXPECT_EQ(PixelOf(overBlack, 0, 0), static_cast<COLORREF>(RGB(0, 0, 0)));
    EXPECT_EQ(PixelOf(overWhite, 13, 13), PixelOf(overBlack, 13, 13));
}

}  // namespace
}  // namespace gimbalo
