// Joysticks read through SDL, against SDL's own virtual joysticks.
#include <SDL.h>

#include "linux_test_support.h"
#include "platform/linux/sdl_joysticks.h"
#include "test_joystick.h"

namespace gimbalo {
namespace {

using testing::VirtualJoystick;

TEST(SdlJoysticks, CapabilitiesGiveTheNameCutTo32CharactersAndTheButtonCount) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    struct Case {
        const char* name;
        int buttons;
        std::string expectedName;
    };
    const Case cases[] = {
        {"Gimbalo Pad", 12, "Gimbalo Pad"},
        {"Gimbalo Twin-Stick Controller, the long edition", 4, "Gimbalo Twin-Stick Controller, t"},
        // 32 code points, not 32 bytes: the accented letters take two bytes each.
        {"Manette à précision réglée pour le bureau", 2, "Manette à précision réglée pour "},
        {"Thirty-two characters long: ok!!", 32, "Thirty-two characters long: ok!!"},
    };
    for (const Case& c : cases) {
        VirtualJoystick pad(c.name, 2, c.buttons);
        ASSERT_TRUE(pad.Attached()) << SDL_GetError();
        JOYCAPS caps;
        ASSERT_EQ(platform->joyGetDevCapsA(pad.Device(), caps), JOYERR_NOERROR) << c.name;
        EXPECT_EQ(caps.szPname, c.expectedName);
        EXPECT_EQ(caps.wNumButtons, static_cast<uint32_t>(c.buttons)) << c.name;
    }
}

TEST(SdlJoysticks, AxesBecomeZeroTo65535) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    VirtualJoystick pad("Gimbalo Pad", 2, 4);
    ASSERT_TRUE(pad.Attached()) << SDL_GetError();
    struct Case {
        Sint16 x, y;
        uint32_t expectedX, expectedY;
    };
    const Case cases[] = {
        {-32768, 32767, 0, 65535},
        {0, 0, 32768, 32768},
        {32767, -32768, 65535, 0},
        {-32619, 31083, 149, 63851},  // just past both thresholds of the polling loop
    };
    for (const Case& c : cases) {
        pad.SetAxes(c.x, c.y);
        JOYINFOEX info;
        ASSERT_EQ(platform->joyGetPosEx(pad.Device(), info), JOYERR_NOERROR);
        EXPECT_EQ(info.dwXpos, c.expectedX) << "axis x " << c.x;
        EXPECT_EQ(info.dwYpos, c.expectedY) << "axis y " << c.y;
    }
}

TEST(SdlJoysticks, ButtonKIsBitKMinusOne) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    VirtualJoystick pad("Gimbalo Pad", 2, 40);
    ASSERT_TRUE(pad.Attached()) << SDL_GetError();
    struct Case {
        std::vector<int> down;  // SDL button numbers, counted from 0
        uint32_t expectedMask;
    };
    const Case cases[] = {
        {{}, 0},       {{0}, 0x1}, {{1}, 0x2}, {{0, 2}, 0x5}, {{31}, 0x80000000u},
        {{32, 39}, 0},  // beyond 32 buttons: no bit to put them in
    };
    for (const Case& c : cases) {
        for (int button = 0; button < 40; ++button) pad.SetButton(button, false);
        for (int button : c.down) pad.SetButton(button, true);
        JOYINFOEX info;
        ASSERT_EQ(platform->joyGetPosEx(pad.Device(), info), JOYERR_NOERROR);
        EXPECT_EQ(info.dwButtons, c.expectedMask) << "case with mask " << c.expectedMask;
    }
}

TEST(SdlJoysticks, ADetachedJoystickIsAnErrorAndItsRecordStays) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    VirtualJoystick pad("Gimbalo Pad", 2, 4);
    ASSERT_TRUE(pad.Attached()) << SDL_GetError();
    const int device = pad.Device();
    JOYINFOEX info;
    ASSERT_EQ(platform->joyGetPosEx(device, info), JOYERR_NOERROR);  // opened and kept open

    pad.Detach();
    info.dwXpos = 7;
    EXPECT_NE(platform->joyGetPosEx(device, info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 7u);
    JOYCAPS caps;
    caps.szPname = "before";
    caps.wNumButtons = 9;
    EXPECT_NE(platform->joyGetDevCapsA(device, caps), JOYERR_NOERROR);
    EXPECT_EQ(caps.szPname, "before");
    EXPECT_EQ(caps.wNumButtons, 9u);
}

TEST(SdlJoysticks, DeviceNumbersThatNeverAnsweredAreErrors) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    const int absent = SDL_NumJoysticks();
    for (int device : {-1, absent, 10, 15, 16}) {
        JOYINFOEX info;
        JOYCAPS caps;
        EXPECT_NE(platform->joyGetPosEx(device, info), JOYERR_NOERROR) << device;
        EXPECT_NE(platform->joyGetDevCapsA(device, caps), JOYERR_NOERROR) << device;
    }
}

// As on Windows, a device number stays with its joystick: the program reads
// device 0, and must not find itself reading another controller.
TEST(SdlJoysticks, ANumberStaysWithItsJoystickAndIsUnpluggedWhenItGoes) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    VirtualJoystick first("First Pad", 2, 2);
    VirtualJoystick second("Second Pad", 2, 6);
    ASSERT_TRUE(first.Attached() && second.Attached()) << SDL_GetError();
    const int firstDevice = first.Device();
    const int secondDevice = second.Device();
    JOYINFOEX info;
    ASSERT_EQ(platform->joyGetPosEx(firstDevice, info), JOYERR_NOERROR);

    first.Detach();
    second.SetButton(5, true);
    info.dwButtons = 7;
    EXPECT_EQ(platform->joyGetPosEx(firstDevice, info), JOYERR_UNPLUGGED);
    EXPECT_EQ(info.dwButtons, 7u);
    JOYCAPS caps;
    EXPECT_EQ(platform->joyGetDevCapsA(firstDevice, caps), JOYERR_UNPLUGGED);
    ASSERT_EQ(platform->joyGetPosEx(secondDevice, info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwButtons, 0x20u);
    ASSERT_EQ(platform->joyGetDevCapsA(secondDevice, caps), JOYERR_NOERROR);
    EXPECT_EQ(caps.szPname, "Second Pad");
}

TEST(SdlJoysticks, AJoystickPluggedInLaterTakesTheLowestFreeNumber) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    VirtualJoystick first("First Pad", 2, 2);
    VirtualJoystick second("Second Pad", 2, 6);
    ASSERT_TRUE(first.Attached() && second.Attached()) << SDL_GetError();
    const int firstDevice = first.Device();
    const int secondDevice = second.Device();
    JOYCAPS caps;
    ASSERT_EQ(platform->joyGetDevCapsA(firstDevice, caps), JOYERR_NOERROR);
    const int after = SDL_NumJoysticks();  // the first number nobody holds

    first.Detach();
    ASSERT_EQ(platform->joyGetDevCapsA(firstDevice, caps), JOYERR_UNPLUGGED);
    VirtualJoystick third("Third Pad", 2, 3);
    ASSERT_TRUE(third.Attached()) << SDL_GetError();
    VirtualJoystick fourth("Fourth Pad", 2, 4);
    ASSERT_TRUE(fourth.Attached()) << SDL_GetError();
    const struct {
        int device;
        const char* name;
    } expected[] = {
        {firstDevice, "Third Pad"}, {secondDevice, "Second Pad"}, {after, "Fourth Pad"}};
    for (const auto& e : expected) {
        ASSERT_EQ(platform->joyGetDevCapsA(e.device, caps), JOYERR_NOERROR) << e.name;
        EXPECT_EQ(caps.szPname, e.name);
    }
}

}  // namespace
}  // namespace gimbalo
