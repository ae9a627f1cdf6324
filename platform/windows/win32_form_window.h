// The top-level window of a shown form: one native window per declared
// control, drawn at the density of the monitor it is on. Model changes are
// pushed into the windows without coming back as user input; what the user
// does becomes the model's User* calls.
#pragma once

#include "platform/windows/win32.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/form_window.h"
#include "platform/forms.h"
#include "platform/windows/win32_colours.h"
#include "platform/windows/win32_dpi.h"
#include "platform/windows/win32_fonts.h"

namespace gimbalo {

// What a window takes from the desktop besides its form.
struct WindowResources {
    // The bitmap and the icon behind a picture handle; nullptr for none.
    std::function<HBITMAP(int32_t handle)> bitmap;
    std::function<HICON(int32_t handle, int size)> icon;
    // The shipped pointing hand as an icon of a size; nullptr: the system's
    // hand is shown instead.
    std::function<HICON(int size)> hand;
    // True once the program has ended: nothing more reaches the models.
    std::function<bool()> programEnded;
};

class Win32FormWindow final : public FormWindow {
public:
    // Makes the window of `form`, hidden, with the window of each control.
    // nullptr when the system refuses to make it.
    static Win32FormWindow* Create(Form& form, WindowResources resources);

    // The window is destroyed, and this object with it, as soon as none of
    // its own messages is being handled.
    void Detach() override;
    void ControlChanged(Control& control, Property what) override;

    HWND Handle() const { return window_; }
    // The window of a control, nullptr for one without (a timer).
    HWND WindowOf(const Control& control) const;
    int Dpi() const { return scale_.Dpi(); }

private:
    // Control identifiers start above the dialog manager's IDOK and IDCANCEL.
    static constexpr int kFirstControlId = 100;
    // Posted to bring a list back in line with its model once the list has
    // finished handling what the user did.
    static constexpr UINT kResyncList = WM_APP + 1;

    struct Native {
        Control* model = nullptr;
        HWND window = nullptr;
        HWND edit = nullptr;  // a list's text part
        int id = 0;
        std::vector<std::string> shownItems;  // a list's entries as shown
    };

    Win32FormWindow(Form& form, WindowResources resources);
    ~Win32FormWindow();

    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                         DWORD_PTR self);
    template <typename Handler>
    LRESULT Dispatch(Handler&& handler);
    // Messages of the form's window and of the panels drawn by the host.
    LRESULT Message(HWND window, UINT message, WPARAM w, LPARAM l);
    // Messages of the system's controls, before the controls have them.
    LRESULT ControlMessage(HWND window, UINT message, WPARAM w, LPARAM l, Native& native);

    // ---- building (win32_form_window.cpp) ----
    bool Build();
    void BuildControls();
    void Place(const Native& native);
    void PlaceWindow(bool centre);
    // The monitor's density changed: everything is made again at `dpi`, and
    // the window moves to where the system suggests.
    void Rescale(int dpi, const RECT& suggested);

    // ---- model to windows (win32_form_updates.cpp) ----
    void PushCaption(Native& native);
    void PushComboItems(Native& native);
    void PushComboSelection(Native& native);
    void PushCheckValue(Native& native);
    void PushEnabled(Native& native);
    void PushVisible(Native& native);
    bool Detached() const override { return detached_; }
    void ShowCaption() override;
    void ShowVisibility() override;
    void ShowIcon() override;
    // The pointing hand at this density.
    void MakeHand();
    void BringToFront() override;
    // Moves the focus on before `native` goes out of reach.
    void FocusAwayFrom(const Native& native);

    // ---- user to model (win32_form_input.cpp) ----
    // Whether what the user does still reaches the form.
    bool Live() const;
    void Click(Control& control);
    void Command(int id, int code);
    // Tells the model of focus moving and the pointer moving or leaving
    // (`native`: the control `window` belongs to, nullptr for the form).
    void NoteState(HWND window, UINT message, WPARAM w, Native* native);
    // Which controls the pointer is over now.
    void NotePointer();
    void Pressed(HWND window);
    void Released(HWND window, LPARAM at, Control* model);
    bool SetPointer(HWND under, int hitTest);
    LRESULT ColourMessage(HDC dc, HWND control);
    void FocusOnActivation();
    // Whether Tab (Shift+Tab) from `control` leaves the controls for the
    // form itself.
    bool TabLeavesControls(HWND control) const;
    LRESULT DefaultButton();

    // ---- panels (win32_panels.cpp) ----
    void PaintPanel(HWND window, const Native& native);

    Native* NativeOf(const Control& control);
    Native* NativeById(int id);
    // The native control `window` belongs to (it or one of its ancestors).
    Native* NativeContaining(HWND window);

    Form* form_;
    WindowResources resources_;
    HWND window_ = nullptr;
    // Never shown: owning the window keeps it out of the taskbar.
    HWND owner_ = nullptr;
    DeviceScale scale_;
    std::unique_ptr<FontCache> fonts_;
    HCURSOR hand_ = nullptr;  // made here, from the shipped picture
    BrushCache brushes_;
    std::vector<Native> natives_;
    std::map<HWND, std::size_t> byWindow_;
    HWND pressed_ = nullptr;
    // The list whose notification is being handled: its own model changes
    // reach it once it is done (kResyncList).
    ComboBox* userList_ = nullptr;
    HWND lastFocus_ = nullptr;
    int depth_ = 0;    // messages of this window being handled
    int pushing_ = 0;  // changes being pushed: notifications are echoes
    bool detached_ = false;
    bool destroyPending_ = false;
};

}  // namespace gimbalo
