#include "platform/common/tray_icon_book.h"

#include <algorithm>

#include "platform/forms.h"

namespace gimbalo {

TrayIconBook::TrayIconBook(std::function<int()> twipsPerPixel)
    : twipsPerPixel_(std::move(twipsPerPixel)) {}

bool TrayIconBook::Command(uint32_t message, const NOTIFYICONDATA& data) {
    switch (message) {
        case NIM_ADD:
            return Add(data);
        case NIM_DELETE:
            return Delete(data);
        default:
            return false;
    }
}

bool TrayIconBook::Add(const NOTIFYICONDATA& data) {
    if (data.cbSize == 0 || data.hWnd == nullptr) return false;
    const auto same = [&data](const Entry& entry) {
        return entry.window == data.hWnd && entry.id == data.uID;
    };
    if (std::any_of(icons_.begin(), icons_.end(), same)) return false;
    Entry entry;
    entry.window = data.hWnd;
    entry.id = data.uID;
    entry.serial = nextSerial_++;
    // The window hears of the icon only through its mouse-move handler.
    entry.callback = (data.uFlags & NIF_MESSAGE) && data.uCallbackMessage == WM_MOUSEMOVE;
    icons_.push_back(entry);
    return Show(entry.serial, data);
}

bool TrayIconBook::Delete(const NOTIFYICONDATA& data) {
    if (data.cbSize == 0 || data.hWnd == nullptr) return false;
    const auto found = std::find_if(icons_.begin(), icons_.end(), [&data](const Entry& entry) {
        return entry.window == data.hWnd && entry.id == data.uID;
    });
    if (found == icons_.end()) return false;
    const uint32_t serial = found->serial;
    icons_.erase(found);
    Hide(serial);
    return true;
}

void TrayIconBook::ForgetWindow(const Form& window) {
    std::vector<uint32_t> gone;
    for (const Entry& entry : icons_)
        if (entry.window == &window) gone.push_back(entry.serial);
    std::erase_if(icons_, [&window](const Entry& entry) { return entry.window == &window; });
    for (uint32_t serial : gone) Hide(serial);
}

void TrayIconBook::HideAll() {
    std::vector<Entry> gone;
    gone.swap(icons_);
    for (const Entry& entry : gone) Hide(entry.serial);
}

void TrayIconBook::Deliver(uint32_t serial, int32_t message) {
    const auto found = std::find_if(icons_.begin(), icons_.end(), [serial](const Entry& entry) {
        return entry.serial == serial;
    });
    if (found == icons_.end() || !found->callback || !found->window->MouseMove) return;
    // The handler may take this very icon away: nothing of it is used after.
    Form& window = *found->window;
    const auto x = static_cast<float>(message) * static_cast<float>(twipsPerPixel_());
    window.MouseMove(0, 0, x, 0.0f);
}

int32_t TrayIconBook::PictureOf(const NOTIFYICONDATA& data) {
    return (data.uFlags & NIF_ICON) ? data.hIcon : 0;
}

std::string TrayIconBook::TipOf(const NOTIFYICONDATA& data) {
    return (data.uFlags & NIF_TIP) ? data.szTip.substr(0, data.szTip.find('\0')) : std::string();
}

}  // namespace gimbalo
