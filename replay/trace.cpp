#include "replay/trace.h"

#include <cinttypes>
#include <cstdio>

namespace gimbalo {

namespace {

struct FlagName {
    uint32_t flag;
    const char* name;
};

constexpr FlagName kMouseFlags[] = {
    {MOUSEEVENTF_LEFTDOWN, "LEFTDOWN"},     {MOUSEEVENTF_LEFTUP, "LEFTUP"},
    {MOUSEEVENTF_RIGHTDOWN, "RIGHTDOWN"},   {MOUSEEVENTF_RIGHTUP, "RIGHTUP"},
    {MOUSEEVENTF_MIDDLEDOWN, "MIDDLEDOWN"}, {MOUSEEVENTF_MIDDLEUP, "MIDDLEUP"},
};

std::string FlagsName(uint32_t flags) {
    std::string text;
    for (const FlagName& known : kMouseFlags) {
        if (!(flags & known.flag)) continue;
        if (!text.empty()) text += '+';
        text += known.name;
        flags &= ~known.flag;
    }
    if (flags != 0 || text.empty()) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%" PRIx32, flags);
        if (!text.empty()) text += '+';
        text += hex;
    }
    return text;
}

std::string PointerText(POINT pointer) {
    return std::to_string(pointer.x) + "," + std::to_string(pointer.y);
}

}  // namespace

std::string MouseEventNames(const std::vector<uint32_t>& events) {
    if (events.empty()) return "-";
    std::string text;
    for (uint32_t flags : events) {
        if (!text.empty()) text += ',';
        text += FlagsName(flags);
    }
    return text;
}

std::string TraceTickLine(uint64_t tick, const std::optional<JOYINFOEX>& reading, POINT pointer,
                          const std::vector<uint32_t>& events) {
    char stick[80];
    if (reading)
        std::snprintf(stick, sizeof stick, "x=%" PRIu32 " y=%" PRIu32 " buttons=0x%" PRIx32,
                      reading->dwXpos, reading->dwYpos, reading->dwButtons);
    else
        std::snprintf(stick, sizeof stick, "x=- y=- buttons=-");
    return "tick=" + std::to_string(tick) + " " + stick + " pointer=" + PointerText(pointer) +
           " events=" + MouseEventNames(events);
}

std::string TraceMenuLine(uint64_t tick, const std::string& item) {
    return "tick=" + std::to_string(tick) + " menu=" + item;
}

std::string TraceRestLine(uint64_t tick) {
    return "rest tick=" + std::to_string(tick);
}

std::string TraceWakeLine(uint64_t tick) {
    return "wake tick=" + std::to_string(tick);
}

std::string TraceEndLine(uint64_t ticks, POINT pointer, const std::vector<uint32_t>& events) {
    return "end ticks=" + std::to_string(ticks) + " pointer=" + PointerText(pointer) +
           " events=" + MouseEventNames(events);
}

}  // namespace gimbalo
