#include "platform/windows/tray_icons.h"

#include <algorithm>

#include "platform/windows/message_window.h"
#include "platform/windows/picture_store.h"
#include "platform/windows/wide_text.h"

namespace gimbalo {

TrayIcons::TrayIcons(MessageWindow& window, PictureStore& pictures,
                     std::function<int()> twipsPerPixel)
    : TrayIconBook(std::move(twipsPerPixel)), window_(window), pictures_(pictures) {
    window_.On(kCallbackMessage, [this](WPARAM serial, LPARAM event) -> LRESULT {
        Deliver(static_cast<UINT>(serial), static_cast<int32_t>(LOWORD(static_cast<DWORD>(event))));
        return 0;
    });
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    if (taskbarCreated_ != 0)
        window_.On(taskbarCreated_, [this](WPARAM, LPARAM) -> LRESULT {
            PlaceAgain();
            return 0;
        });
}

TrayIcons::~TrayIcons() {
    HideAll();
    window_.Off(kCallbackMessage);
    if (taskbarCreated_ != 0) window_.Off(taskbarCreated_);
}

NOTIFYICONDATAW TrayIcons::ShellRecord(UINT serial, const Native& native) const {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = window_.Handle();
    record.uID = serial;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kCallbackMessage;
    record.hIcon = native.icon;
    // The tip field holds 127 characters and its NUL; the program's tip
    // has at most 63.
    const std::size_t length = std::min(native.tip.size(), std::size(record.szTip) - 1);
    std::copy_n(native.tip.begin(), length, record.szTip);
    return record;
}

bool TrayIcons::Place(UINT serial, Native& native) {
    NOTIFYICONDATAW record = ShellRecord(serial, native);
    native.placed = Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    return native.placed;
}

bool TrayIcons::Show(uint32_t serial, const NOTIFYICONDATA& data) {
    Native native;
    const int width = GetSystemMetrics(SM_CXSMICON);
    const int height = GetSystemMetrics(SM_CYSMICON);
    native.icon = pictures_.Icon(PictureOf(data), width, height);
    if (native.icon == nullptr) native.icon = LoadIconW(nullptr, IDI_APPLICATION);
    native.tip = Wide(TipOf(data));
    // A shell that is not up yet gets the icon when it starts.
    return Place(serial, icons_[serial] = native);
}

void TrayIcons::Hide(uint32_t serial) {
    const auto found = icons_.find(serial);
    if (found == icons_.end()) return;
    if (found->second.placed) {
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof record;
        record.hWnd = window_.Handle();
        record.uID = serial;
        Shell_NotifyIconW(NIM_DELETE, &record);
    }
    icons_.erase(found);
}

void TrayIcons::PlaceAgain() {
    // The new shell knows none of the icons.
    for (auto& [serial, native] : icons_) Place(serial, native);
}

}  // namespace gimbalo
