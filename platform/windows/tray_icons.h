// The program's notification-area icons, as the shell keeps them: each is
// known by its window and identifier, and mouse activity on it reaches that
// window's mouse-move handler with the mouse message in place of x. The icons
// come back when the shell starts again ("TaskbarCreated"), and an icon the
// shell could not take at first is placed then.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/windows/win32.h"

namespace gimbalo {

class Form;
class MessageWindow;
class PictureStore;

class TrayIcons {
public:
    // The shell reports to `window`; `twipsPerPixel` gives the unit of x.
    TrayIcons(MessageWindow& window, PictureStore& pictures, std::function<int()> twipsPerPixel);
    // Takes every icon off the desktop.
    ~TrayIcons();
    TrayIcons(const TrayIcons&) = delete;
    TrayIcons& operator=(const TrayIcons&) = delete;

    // NIM_ADD: false for a record without size or window, for a window and
    // identifier that already have an icon, or when the shell refused it
    // (it is placed when the shell next starts).
    bool Add(const NOTIFYICONDATA& data);
    // NIM_DELETE: false for a record without size or window, or when the
    // window and identifier have no icon.
    bool Delete(const NOTIFYICONDATA& data);
    // Drops the icons of a window that goes away, so no click reaches it.
    void ForgetWindow(const Form& window);

    // The number the shell knows an icon by, 0 for none.
    UINT ShellId(const Form& window, uint32_t id) const;
    // The message the shell's callbacks come as.
    static constexpr UINT kCallbackMessage = WM_APP + 2;

private:
    struct Entry {
        Form* window = nullptr;
        uint32_t id = 0;
        UINT shellId = 0;
        bool callback = false;  // NIF_MESSAGE with the mouse-move message
        HICON icon = nullptr;
        std::wstring tip;
        bool placed = false;  // the shell holds it
    };

    NOTIFYICONDATAW ShellRecord(const Entry& entry) const;
    bool Place(Entry& entry);
    void Remove(Entry& entry);
    LRESULT Callback(WPARAM shellId, LPARAM event);
    void PlaceAgain();

    MessageWindow& window_;
    PictureStore& pictures_;
    std::function<int()> twipsPerPixel_;
    UINT taskbarCreated_ = 0;
    std::vector<Entry> icons_;
    UINT nextShellId_ = 1;
};

}  // namespace gimbalo
