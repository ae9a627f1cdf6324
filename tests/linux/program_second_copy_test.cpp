// A second copy of gimbalo started while one runs, for the same user: it
// shows the already-running message and ends; the first copy goes on.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <filesystem>

#include "program_fixture.h"
#include "replay_child.h"

// After Qt: Xlib's macros would clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace gimbalo {
namespace {

using testing::WaitUntil;

Display* QtDisplay() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// A shown top-level window of the program `resourceName` (its WM_CLASS), or
// 0 when there is none.
::Window ShownWindowOf(const char* resourceName) {
    Display* display = QtDisplay();
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    ::Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) == 0 ||
            attributes.map_state != IsViewable)
            continue;
        XClassHint hint{};
        if (XGetClassHint(display, children[i], &hint) == 0) continue;
        if (hint.res_name != nullptr && std::string(hint.res_name) == resourceName)
            found = children[i];
        if (hint.res_name != nullptr) XFree(hint.res_name);
        if (hint.res_class != nullptr) XFree(hint.res_class);
    }
    if (children != nullptr) XFree(children);
    return found;
}

std::string TitleOf(::Window window) {
    Display* display = QtDisplay();
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, name, 0, 256, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return title;
}

// Asks the window to close, as its title-bar button does.
void CloseWindow(::Window window) {
    Display* display = QtDisplay();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

class SecondCopyOnDisplay : public testing::ProgramOnDisplay {};

TEST_F(SecondCopyOnDisplay, ASecondCopyShowsTheAlreadyRunningMessageAndLeavesTheFirst) {
    const std::string gimbalo = GIMBALO_EXECUTABLE;
    int ticks = 0;
    platform->onDispatch = [&](Timer& timer) {
        if (&timer == &program->mainWindow.pollingTimer) ++ticks;
    };
    const std::vector<std::string> settingsBefore = SettingsLines();

    testing::ReplayChild second(gimbalo, {}, config.Path(), runtime.Path());
    ASSERT_TRUE(second.Started());
    ::Window message = 0;
    ASSERT_TRUE(WaitUntil([&] { return (message = ShownWindowOf("gimbalo")) != 0; },
                          testing::kChildDeadline));
    // The title is entry 4 of the language the settings file chose.
    EXPECT_EQ(TitleOf(message), "Gimbalo");
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(message);
    EXPECT_TRUE(shot.save(testing::ArtifactsFolder() + "/second_copy_message.png"));

    // The message waits for the user; closing it ends the second copy.
    CloseWindow(message);
    EXPECT_EQ(second.Wait(), 1) << second.err;
    // Said on the terminal too, in one line, in the language of the settings.
    EXPECT_NE(second.err.find("gimbalo: The program gimbalo is already running.\n"),
              std::string::npos)
        << second.err;

    // The first copy still polls, still holds its menu, still has its file.
    const int before = ticks;
    EXPECT_TRUE(WaitUntil([&] { return ticks >= before + 10; }));
    EXPECT_FALSE(platform->ProgramEnded());
    EXPECT_EQ(SettingsLines(), settingsBefore);
    EXPECT_TRUE(program->RunMenuCommand("mnuDef"));
    EXPECT_NE(testing::TopLevel("frmOpzioni"), nullptr);
}

}  // namespace
}  // namespace gimbalo
