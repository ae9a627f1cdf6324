// The program's notification-area icons as the shell keeps them, the same on
// every desktop: each is known by its window and identifier, and mouse
// activity on it reaches that window's mouse-move handler with the mouse
// message in place of x. A backend only puts the icons on its desktop and
// takes them off again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace gimbalo {

class Form;

class TrayIconBook {
public:
    virtual ~TrayIconBook() = default;
    TrayIconBook(const TrayIconBook&) = delete;
    TrayIconBook& operator=(const TrayIconBook&) = delete;

    // Shell_NotifyIconA. NIM_ADD: false for a record without size or window,
    // for a window and identifier that already have an icon, or when the
    // desktop refused it (it stays booked: a backend may place it later).
    // NIM_DELETE: false for a record without size or window, or when the
    // window and identifier have no icon. Any other command changes nothing
    // and fails: the icon's picture and tip never change while the program
    // runs.
    bool Command(uint32_t message, const NOTIFYICONDATA& data);
    // Drops the icons of a window that goes away, so no click reaches it.
    void ForgetWindow(const Form& window);

    // Delivers mouse `message` on icon `serial` to its window, unless the
    // icon has gone (or been replaced) meanwhile or asked for no callbacks.
    // The message stands where x does, in twips, as the shell's callback
    // puts it; the window divides it back out.
    void Deliver(uint32_t serial, int32_t message);

protected:
    // `twipsPerPixel` gives the unit of x.
    explicit TrayIconBook(std::function<int()> twipsPerPixel);

    // Puts icon `serial` on the desktop with the picture and the tip `data`
    // asks for (PictureOf, TipOf). An icon must show something: without it
    // the menu, and with it the way out of the program, could not be
    // reached, so a backend shows a picture of its own where the record
    // names none it can show. False when the desktop refused the icon.
    virtual bool Show(uint32_t serial, const NOTIFYICONDATA& data) = 0;
    // Takes icon `serial` off the desktop.
    virtual void Hide(uint32_t serial) = 0;
    // Takes every icon off the desktop; a backend calls it as it goes.
    void HideAll();

    // The picture handle a record asks for, 0 for none; its tip, "" for none.
    static int32_t PictureOf(const NOTIFYICONDATA& data);
    static std::string TipOf(const NOTIFYICONDATA& data);

private:
    struct Entry {
        Form* window = nullptr;
        uint32_t id = 0;
        // Numbers the icons from 1, so an icon added again under the same
        // window and identifier is told from the one before it.
        uint32_t serial = 0;
        bool callback = false;  // NIF_MESSAGE with the mouse-move message
    };

    bool Add(const NOTIFYICONDATA& data);
    bool Delete(const NOTIFYICONDATA& data);

    std::function<int()> twipsPerPixel_;
    std::vector<Entry> icons_;
    uint32_t nextSerial_ = 1;
};

}  // namespace gimbalo
