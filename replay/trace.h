// The trace of a replay run, one line per polling tick (the only lines with
// x=):
//
//   tick=12 x=0 y=32768 buttons=0x1 pointer=638,400 events=LEFTDOWN
//
// x, y and buttons are what the program read during the tick from the
// joystick in use, or from device 0 while that one does not answer (all three
// "-" when no read answered, as after an unplug); pointer is the
// pointer position after the tick; events are the mouse-button events the
// program injected during the tick, in order, joined by commas ("-" for
// none). A popup-menu command that the script chose gets a line when it
// runs, after the line of the tick it was due at:
//
//   tick=120 menu=mnuDef
//
// While the stick rests the program stops its timer and waits for input;
// the ticks it skips have no lines, and their numbers keep counting the
// ticks that plain polling would have run (5 ms each). The rest is marked
// after the line of the last tick before it, and the wake before the line
// of the first tick after it:
//
//   rest tick=30
//   wake tick=400
//
// When the program ends, one more line tells how many ticks ran (skipped
// ones included) and what the close did, such as letting go of a held
// button:
//
//   end ticks=2200 pointer=638,400 events=LEFTUP
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace gimbalo {

// "LEFTDOWN", "RIGHTUP", ...; a call with several flags gives their names
// joined by "+", unknown flags in hexadecimal; "-" when there are none.
std::string MouseEventNames(const std::vector<uint32_t>& events);

// `reading`: what the tick read from device 0, nothing when the read failed.
std::string TraceTickLine(uint64_t tick, const std::optional<JOYINFOEX>& reading, POINT pointer,
                          const std::vector<uint32_t>& events);

// `tick`: the tick the command was due at.
std::string TraceMenuLine(uint64_t tick, const std::string& item);

// `tick`: the last tick run before the rest.
std::string TraceRestLine(uint64_t tick);
// `tick`: the first tick run after the wake.
std::string TraceWakeLine(uint64_t tick);

std::string TraceEndLine(uint64_t ticks, POINT pointer, const std::vector<uint32_t>& events);

}  // namespace gimbalo
