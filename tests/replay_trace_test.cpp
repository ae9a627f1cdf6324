// The trace lines of a replay run, which scripts and the measurements read.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "replay/trace.h"

namespace gimbalo {
namespace {

TEST(ReplayTrace, TickMenuAndEndLines) {
    JOYINFOEX read;
    read.dwXpos = 0;
    read.dwYpos = 32768;
    read.dwButtons = 0x11;
    struct Case {
        std::string line;
        const char* expected;
    } cases[] = {
        {TraceTickLine(12, read, {638, 400}, {MOUSEEVENTF_LEFTDOWN}),
         "tick=12 x=0 y=32768 buttons=0x11 pointer=638,400 events=LEFTDOWN"},
        {TraceTickLine(0, std::nullopt, {0, 799}, {}),
         "tick=0 x=- y=- buttons=- pointer=0,799 events=-"},
        {TraceTickLine(3, read, {-5, 2}, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN}),
         "tick=3 x=0 y=32768 buttons=0x11 pointer=-5,2 events=LEFTDOWN,RIGHTDOWN"},
        {TraceMenuLine(120, "mnuDef"), "tick=120 menu=mnuDef"},
        {TraceRestLine(30), "rest tick=30"},
        {TraceWakeLine(400), "wake tick=400"},
        {TraceEndLine(2200, {640, 400}, {MOUSEEVENTF_MIDDLEUP}),
         "end ticks=2200 pointer=640,400 events=MIDDLEUP"},
        {MouseEventNames(
             {MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTUP, 0x8000, MOUSEEVENTF_MIDDLEDOWN}),
         "LEFTUP+RIGHTUP,0x8000,MIDDLEDOWN"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.line, c.expected);
}

}  // namespace
}  // namespace gimbalo
