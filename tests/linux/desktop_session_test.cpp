// The pointer on XTest or on /dev/uinput, chosen from the option, the
// environment and the session, and what the user is told when it cannot open.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/linux/desktop_session.h"
#include "platform/platform.h"

namespace gimbalo {
namespace {

TEST(DesktopSession, TheWayInFollowsTheOptionTheVariableTheSessionAndTheDevice) {
    constexpr auto X = PointerWay::XTest;
    constexpr auto U = PointerWay::Uinput;
    struct Case {
        SessionFacts facts;  // option, GIMBALO_POINTER, WAYLAND_DISPLAY, XDG_SESSION_TYPE, -
        int openErrno;       // of /dev/uinput, when it is chosen
        PointerWay way;
        uint32_t state;
        bool refused;
    } cases[] = {
        {{"", "", "", "x11", ""}, 0, X, POINTER_READY, false},
        {{"", "", "", "", ""}, EACCES, X, POINTER_READY, false},  // nothing said: X11, as ever
        {{"", "", "wayland-0", "", ""}, 0, U, POINTER_READY, false},
        {{"", "", "", "wayland", ""}, ENOENT, U, POINTER_DEVICE_MISSING, false},
        {{"", "", "wayland-1", "x11", ""}, EACCES, U, POINTER_DEVICE_DENIED, false},
        {{"", "", "wayland-0", "wayland", ""}, EPERM, U, POINTER_DEVICE_DENIED, false},
        {{"", "", "/run/user/1000/wayland-0", "", ""}, ENODEV, U, POINTER_DEVICE_MISSING, false},
        {{"", "", "wayland-0", "", ""}, EBUSY, U, POINTER_DEVICE_FAILED, false},
        {{"", "xtest", "wayland-0", "wayland", ""}, 0, X, POINTER_READY, false},
        {{"", "uinput", "", "x11", ""}, 0, U, POINTER_READY, false},
        {{"xtest", "uinput", "wayland-0", "", ""}, 0, X, POINTER_READY, false},
        {{"uinput", "xtest", "", "x11", ""}, EACCES, U, POINTER_DEVICE_DENIED, false},
        {{"mouse", "uinput", "", "", ""}, 0, X, POINTER_READY, true},
        {{"", "XTest", "wayland-0", "", ""}, 0, X, POINTER_READY, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        const PointerChoice choice = ChoosePointerWay(c.facts);
        EXPECT_EQ(!choice.error.empty(), c.refused) << choice.error;
        if (c.refused) continue;
        EXPECT_EQ(choice.way, c.way);
        EXPECT_EQ(choice.way == U ? PointerStateAfterOpen(c.openErrno) : POINTER_READY, c.state);
    }
}

}  // namespace
}  // namespace gimbalo
