// The program's notification-area icons on Windows: Shell_NotifyIcon with the
// hidden window as the callback window. The icons come back when the shell
// starts again ("TaskbarCreated"), and an icon the shell could not take at
// first is placed then.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/common/tray_icon_book.h"
#include "platform/windows/win32.h"

namespace gimbalo {

class MessageWindow;
class PictureStore;

class TrayIcons : public TrayIconBook {
public:
    // The shell reports to `window`; `twipsPerPixel` gives the unit of x.
    TrayIcons(MessageWindow& window, PictureStore& pictures, std::function<int()> twipsPerPixel);
    // Takes every icon off the desktop.
    ~TrayIcons() override;

    // The message the shell's callbacks come as.
    static constexpr UINT kCallbackMessage = WM_APP + 2;

private:
    // An icon as the shell is handed it: the number the shell knows it by is
    // its serial.
    struct Native {
        HICON icon = nullptr;
        std::wstring tip;
        bool placed = false;  // the shell holds it
    };

    bool Show(uint32_t serial, const NOTIFYICONDATA& data) override;
    void Hide(uint32_t serial) override;
    NOTIFYICONDATAW ShellRecord(UINT serial, const Native& native) const;
    bool Place(UINT serial, Native& native);
    void PlaceAgain();

    MessageWindow& window_;
    PictureStore& pictures_;
    UINT taskbarCreated_ = 0;
    std::map<UINT, Native> icons_;
};

}  // namespace gimbalo
