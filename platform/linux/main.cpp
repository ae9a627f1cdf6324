// gimbalo: the joystick moves the pointer and clicks.
#include <cstdio>

#include "core/program.h"
#include "platform/linux/linux_platform.h"

int main(int argc, char** argv) {
    std::string error;
    std::unique_ptr<gimbalo::LinuxPlatform> platform =
        gimbalo::LinuxPlatform::Create(argc, argv, error);
    if (!platform) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    gimbalo::Program program(*platform);
    program.Start();
    // Start-up ends the program when another copy runs or no joystick answers.
    if (platform->ProgramEnded()) return 1;
    platform->RunMessageLoop([&program] { program.Exit(); });
    return 0;
}
