// gimbalo: the joystick moves the pointer and clicks.
#include <cstdio>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/linux/linux_platform.h"

int main(int argc, char** argv) {
    std::string pointerWay;
    if (const std::optional<int> status =
            gimbalo::AnswerGimbaloCommandLine(argc, argv, stdout, stderr, pointerWay))
        return *status;

    std::string error;
    std::unique_ptr<gimbalo::LinuxPlatform> platform =
        gimbalo::LinuxPlatform::Create(argc, argv, error, pointerWay);
    if (!platform) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    gimbalo::Program program(*platform);
    program.Start();
    // Start-up ends the program when another copy runs or no joystick
    // answers. Its message box has said why on the terminal too, in the
    // user's language; before a first start has loaded a language it has no
    // words, so say it here.
    if (platform->ProgramEnded()) {
        if (!platform->MessageSaidOnTerminal()) {
            if (platform->AnotherInstanceRunning())
                std::fprintf(stderr, "gimbalo: another copy is already running\n");
            else
                std::fprintf(stderr, "gimbalo: no joystick found; connect one and start again\n");
        }
        return 1;
    }
    platform->RunMessageLoop([&program] { program.Exit(); });
    return 0;
}
