// The joysticks, and waiting for them while the stick rests: SDL's numbered
// joysticks (sdl_joysticks.cpp) read through what tells of their news
// (joystick_news.cpp).
#include <time.h>

#include "platform/linux/joystick_news.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl_joysticks.h"

namespace gimbalo {

uint32_t LinuxPlatform::joyGetPosEx(int device, JOYINFOEX& info) {
    if (!news_) return JOYERR_PARMS;
    // Once the program has ended nothing is watched: each read asks SDL.
    return ended_ ? joysticks_->GetPos(device, info) : news_->Read(device, info);
}

uint32_t LinuxPlatform::joyGetDevCapsA(int device, JOYCAPS& caps) {
    return joysticks_ ? joysticks_->GetCaps(device, caps) : JOYERR_PARMS;
}

bool LinuxPlatform::WatchJoystick(int device, std::function<void()> wake) {
    if (!news_ || ended_) return false;
    return news_->Watch(device, std::move(wake));
}

void LinuxPlatform::StopWatchingJoystick() {
    if (news_) news_->StopWatching();
}

uint32_t LinuxPlatform::GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace gimbalo
