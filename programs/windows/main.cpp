// Gimbalo.exe: the joystick moves the pointer and clicks.
#include "app/program.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::string error;
    std::unique_ptr<gimbalo::WindowsPlatform> platform =
        gimbalo::WindowsPlatform::Create(instance, error);
    if (!platform) {
        MessageBoxW(nullptr, gimbalo::Wide(error).c_str(), L"Gimbalo", MB_OK | MB_ICONERROR);
        return 1;
    }
    gimbalo::Program program(*platform);
    program.Start();
    // Start-up ends the program, after its message, when another copy runs
    // or no joystick answers.
    if (platform->ProgramEnded()) return 1;
    platform->RunMessageLoop([&program] { program.Exit(); });
    return 0;
}
