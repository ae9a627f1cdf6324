// After each test, lets go of any of the mouse buttons 1 to 3 still held on
// the X display: a test that failed half-way, or a child that died with a
// button down, must not leave it held for every later test.
#pragma once

// GoogleTest before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
// clang-format on

#include "tests/linux/have_display.h"

namespace gimbalo::testing {

class XButtonSafetyNet : public ::testing::EmptyTestEventListener {
public:
    void OnTestEnd(const ::testing::TestInfo& test) override {
        if (!HaveDisplay()) return;
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) return;
        ::Window root = 0, child = 0;
        int x = 0, y = 0, windowX = 0, windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX,
                      &windowY, &mask);
        const unsigned int masks[] = {Button1Mask, Button2Mask, Button3Mask};
        for (unsigned int button = 1; button <= 3; ++button)
            if (mask & masks[button - 1]) {
                XTestFakeButtonEvent(display, button, False, CurrentTime);
                ADD_FAILURE() << test.name() << " left X button " << button << " held";
            }
        XSync(display, False);
        XCloseDisplay(display);
    }

    // Puts one in place for the whole test program.
    static bool Install() {
        ::testing::UnitTest::GetInstance()->listeners().Append(new XButtonSafetyNet);
        return true;
    }
};

}  // namespace gimbalo::testing
