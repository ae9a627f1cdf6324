// The guardian: a small process, gimbalo-guardian (guardian_main.cpp), that
// lets go of the mouse buttons when the program dies in a way no handler
// sees: SIGKILL, the out-of-memory killer. It holds its own X connection and
// hears from the program over a socket pair which X buttons are down; when
// the program's end closes (which the kernel does at any death) with buttons
// still down, it releases them on its own connection and exits. It sleeps in
// a read until the program writes or ends, and ends with the program.
//
// The channel carries one byte per change: the whole set of held X buttons,
// bit n for button n, so a byte that went missing is made good by the next.
// The program tells of a press before it sends it and of a release after it
// has sent it, so the guardian knows of every button that may be down.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

namespace gimbalo {

// The bits of the X buttons a channel byte can carry: 1, 2 and 3.
constexpr uint32_t kGuardedButtons = 0x0E;

// Tells the guardian on `channel` which buttons are held; nothing when
// `channel` is -1 or the guardian is gone. Never blocks, never raises
// SIGPIPE; async-signal-safe.
void TellGuardian(int channel, uint32_t held);

class ButtonGuardian {
public:
    // Starts gimbalo-guardian (found beside the executable, else where it is
    // installed) on the display named `display`, watching `marker`: a window
    // of the program's own X connection, whose destruction shows the
    // guardian that the server has done everything that connection sent.
    // Nothing when it cannot be started; the program then runs without it.
    static std::unique_ptr<ButtonGuardian> Start(const std::string& display, unsigned long marker);
    // Closes the channel, after which the guardian exits, and waits for it.
    ~ButtonGuardian();
    ButtonGuardian(const ButtonGuardian&) = delete;
    ButtonGuardian& operator=(const ButtonGuardian&) = delete;

    // The program's end of the channel.
    int Channel() const { return channel_; }

private:
    ButtonGuardian(pid_t pid, int channel) : pid_(pid), channel_(channel) {}

    pid_t pid_;
    int channel_;
};

}  // namespace gimbalo
