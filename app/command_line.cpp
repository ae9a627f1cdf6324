#include "app/command_line.h"

#include <string_view>

#include "core/maker.h"

namespace gimbalo {

namespace {
constexpr const char* kGimbaloHelp =
    "usage: gimbalo [--pointer=uinput|xtest] [--help | --version]\n"
    "Moves the mouse pointer and clicks with a joystick or gamepad.\n"
    "\n"
    "Gimbalo runs as an icon in the notification area; its menu holds the\n"
    "options, the language and the documents. It takes no other arguments.\n"
    "\n"
    "  -h, --help            show this help and end\n"
    "      --version         show the version and end\n"
    "      --pointer=uinput  move the pointer and click through a virtual mouse on\n"
    "                        /dev/uinput, the way on a Wayland session\n"
    "      --pointer=xtest   through the X server's XTest extension, the way on an\n"
    "                        X11 session\n"
    "\n"
    "Without --pointer the environment variable GIMBALO_POINTER (uinput or\n"
    "xtest) chooses, and without it the session: uinput when WAYLAND_DISPLAY\n"
    "is set or XDG_SESSION_TYPE is wayland, xtest otherwise.\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/gimbalo/Gimbalo.ini (~/.config/gimbalo/Gimbalo.ini).\n"
    "Without a joystick, gimbalo-replay runs the program with a scripted one.\n";
}  // namespace

std::string VersionText(const std::string& program) {
    return program + " " + std::to_string(GIMBALO_VERSION_MAJOR) + "." +
           std::to_string(GIMBALO_VERSION_MINOR) + "." + std::to_string(GIMBALO_VERSION_PATCH) +
           "\n" + kCreditLine + "\nLicence: MIT (see License.txt)\n";
}

int UsageError(std::FILE* err, const std::string& program, const std::string& problem) {
    std::fprintf(err, "%s: %s (try %s --help)\n", program.c_str(), problem.c_str(),
                 program.c_str());
    return kUsageError;
}

std::optional<int> AnswerGimbaloCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err,
                                            std::string& pointerWay) {
    constexpr std::string_view kPointerOption = "--pointer=";
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const std::string argument = argv[i];
        if (argument.starts_with(kPointerOption)) {
            pointerWay = argument.substr(kPointerOption.size());
            if (pointerWay == "uinput" || pointerWay == "xtest") continue;
            return UsageError(err, "gimbalo",
                              "--pointer takes uinput or xtest, not '" + pointerWay + "'");
        }
        if (argument == "--help" || argument == "-h") {
            std::fputs(kGimbaloHelp, out);
            return 0;
        }
        if (argument == "--version") {
            std::fputs(VersionText("gimbalo").c_str(), out);
            return 0;
        }
        if (argument.size() > 1 && argument[0] == '-')
            return UsageError(err, "gimbalo", "unknown option '" + argument + "'");
        return UsageError(err, "gimbalo", "unexpected argument '" + argument + "'");
    }
    return std::nullopt;
}

}  // namespace gimbalo
