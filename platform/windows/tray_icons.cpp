#include "platform/windows/tray_icons.h"

#include <algorithm>

#include "platform/forms.h"
#include "platform/windows/message_window.h"
#include "platform/windows/picture_store.h"
#include "platform/windows/wide_text.h"

namespace gimbalo {

TrayIcons::TrayIcons(MessageWindow& window, PictureStore& pictures,
                     std::function<int()> twipsPerPixel)
    : window_(window), pictures_(pictures), twipsPerPixel_(std::move(twipsPerPixel)) {
    window_.On(kCallbackMessage,
               [this](WPARAM shellId, LPARAM event) { return Callback(shellId, event); });
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    if (taskbarCreated_ != 0)
        window_.On(taskbarCreated_, [this](WPARAM, LPARAM) -> LRESULT {
            PlaceAgain();
            return 0;
        });
}

TrayIcons::~TrayIcons() {
    for (Entry& entry : icons_) Remove(entry);
    window_.Off(kCallbackMessage);
    if (taskbarCreated_ != 0) window_.Off(taskbarCreated_);
}

NOTIFYICONDATAW TrayIcons::ShellRecord(const Entry& entry) const {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = window_.Handle();
    record.uID = entry.shellId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kCallbackMessage;
    record.hIcon = entry.icon;
    // The tip field holds 127 characters and its NUL; the program's tip
    // has at most 63.
    const std::size_t length = std::min(entry.tip.size(), std::size(record.szTip) - 1);
    std::copy_n(entry.tip.begin(), length, record.szTip);
    return record;
}

bool TrayIcons::Place(Entry& entry) {
    NOTIFYICONDATAW record = ShellRecord(entry);
    entry.placed = Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    return entry.placed;
}

void TrayIcons::Remove(Entry& entry) {
    if (!entry.placed) return;
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = window_.Handle();
    record.uID = entry.shellId;
    Shell_NotifyIconW(NIM_DELETE, &record);
    entry.placed = false;
}

bool TrayIcons::Add(const NOTIFYICONDATA& data) {
    if (data.cbSize == 0 || data.hWnd == nullptr) return false;
    if (ShellId(*data.hWnd, data.uID) != 0) return false;
    Entry entry;
    entry.window = data.hWnd;
    entry.id = data.uID;
    entry.shellId = nextShellId_++;
    // The window hears of the icon only through its mouse-move handler.
    entry.callback = (data.uFlags & NIF_MESSAGE) && data.uCallbackMessage == WM_MOUSEMOVE;
    const int width = GetSystemMetrics(SM_CXSMICON);
    const int height = GetSystemMetrics(SM_CYSMICON);
    if (data.uFlags & NIF_ICON) entry.icon = pictures_.Icon(data.hIcon, width, height);
    // An icon must show something: without it the menu, and with it the
    // way out of the program, could not be reached.
    if (entry.icon == nullptr) entry.icon = LoadIconW(nullptr, IDI_APPLICATION);
    if (data.uFlags & NIF_TIP) entry.tip = Wide(data.szTip.substr(0, data.szTip.find('\0')));
    icons_.push_back(entry);
    // A shell that is not up yet gets the icon when it starts.
    return Place(icons_.back());
}

bool TrayIcons::Delete(const NOTIFYICONDATA& data) {
    if (data.cbSize == 0 || data.hWnd == nullptr) return false;
    const auto found = std::find_if(icons_.begin(), icons_.end(), [&data](const Entry& entry) {
        return entry.window == data.hWnd && entry.id == data.uID;
    });
    if (found == icons_.end()) return false;
    Remove(*found);
    icons_.erase(found);
    return true;
}

void TrayIcons::ForgetWindow(const Form& window) {
    for (Entry& entry : icons_)
        if (entry.window == &window) Remove(entry);
    std::erase_if(icons_, [&window](const Entry& entry) { return entry.window == &window; });
}

UINT TrayIcons::ShellId(const Form& window, uint32_t id) const {
    for (const Entry& entry : icons_)
        if (entry.window == &window && entry.id == id) return entry.shellId;
    return 0;
}

LRESULT TrayIcons::Callback(WPARAM shellId, LPARAM event) {
    const auto found = std::find_if(icons_.begin(), icons_.end(), [shellId](const Entry& entry) {
        return entry.shellId == static_cast<UINT>(shellId);
    });
    if (found == icons_.end() || !found->callback || !found->window->MouseMove) return 0;
    // The handler may take this very icon away: nothing of it is used after.
    Form& window = *found->window;
    const auto message = static_cast<int32_t>(LOWORD(static_cast<DWORD>(event)));
    // The message stands where x does, in twips, as the shell's callback
    // puts it; the window divides it back out.
    const auto x = static_cast<float>(message) * static_cast<float>(twipsPerPixel_());
    window.MouseMove(0, 0, x, 0.0f);
    return 0;
}

void TrayIcons::PlaceAgain() {
    // The new shell knows none of the icons.
    for (Entry& entry : icons_) Place(entry);
}

}  // namespace gimbalo
