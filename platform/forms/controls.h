// The models of controls: plain state plus events, with the desktop's rules
// built in once, and the observer a host follows them by.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/design.h"

namespace gimbalo {

class Form;
class MenuItem;

// The host of a form: told about every change a model makes to itself.
class ModelObserver {
public:
    virtual ~ModelObserver() = default;
    virtual void ControlChanged(Control& control, Property what) = 0;
    virtual void FormChanged(Form& form, Property what) = 0;
    virtual void MenuItemChanged(MenuItem& item, Property what) = 0;
};

class Control {
public:
    Control(Form& form, ControlKind kind, ControlDesign design);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    static ControlDesign Design(std::string name) {
        ControlDesign design;
        design.name = std::move(name);
        return design;
    }

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return design_.name; }
    Form& Owner() const { return form_; }
    Control* Container() const { return design_.container; }
    // The declaration as it stands (bounds follow SetTop and SetBounds).
    const ControlDesign& Layout() const { return design_; }
    // The control's own font, or the form's.
    const Font& EffectiveFont() const;
    const Bounds& GetBounds() const { return design_.bounds; }
    int TabIndex() const { return design_.tabIndex; }
    PointerShape Pointer() const { return design_.pointer; }
    // The label declared as this control's caption, or nullptr.
    Control* CaptionLabel() const;
    bool IsLink() const { return !design_.link.empty(); }
    // The colour the form declares behind the control: its own back colour
    // unless it is transparent, else its nearest container's, else the form's.
    Rgb BackgroundBehind() const;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void SetTop(int top);
    void SetBounds(const Bounds& bounds);

    // Whether the user can reach the control: it and every container are
    // enabled and visible.
    bool Reachable() const;
    // The user clicks the control: Click runs only when it is reachable.
    // True when the click reached it.
    bool UserClick();

    // Whether the pointer rests over the control (what it contains included)
    // and whether it has the keyboard focus, as the host reports them.
    bool PointerOver() const { return pointerOver_; }
    bool HasFocus() const { return focused_; }
    void UserPointerOver(bool over) { pointerOver_ = over; }
    void UserFocus(bool focused) { focused_ = focused; }

    std::function<void()> Click;

protected:
    void Notify(Property what);

private:
    Form& form_;
    ControlKind kind_;
    ControlDesign design_;
    std::string caption_;
    bool enabled_;
    bool visible_;
    bool pointerOver_ = false;
    bool focused_ = false;
};

class Label : public Control {
public:
    explicit Label(Form& form, ControlDesign design)
        : Control(form, ControlKind::Label, std::move(design)) {}
    Label(Form& form, std::string name) : Label(form, Design(std::move(name))) {}
};

class CommandButton : public Control {
public:
    CommandButton(Form& form, ControlDesign design)
        : Control(form, ControlKind::CommandButton, std::move(design)) {}
};

class Frame : public Control {
public:
    Frame(Form& form, ControlDesign design)
        : Control(form, ControlKind::Frame, std::move(design)) {}
};

// An editable drop-down list. Picking an entry (by the user or the program)
// puts its text in the text part and fires Click; a change of the text part
// (typed or set by the program) fires Change and selects the entry with
// exactly that text, or none.
class ComboBox : public Control {
public:
    ComboBox(Form& form, ControlDesign design)
        : Control(form, ControlKind::ComboBox, std::move(design)) {}

    const std::vector<std::string>& Items() const { return items_; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    int ListIndex() const { return listIndex_; }
    const std::string& Text() const { return text_; }

    void AddItem(const std::string& item);
    // Selects entry `index` (0 up to ListCount - 1): the text part takes its
    // text and Click fires, also when it was selected already. -1 selects
    // nothing and empties the text part (Change fires when it held text).
    // Any other index changes nothing and gives false.
    bool SetListIndex(int index);
    // Sets the text part. The same text as now is no change: nothing fires.
    void SetText(const std::string& text);

    // What the user does, through a host or a test; nothing happens when the
    // list is not reachable.
    bool UserPick(int index);
    bool UserType(const std::string& text);

    std::function<void()> Change;

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::string text_;
};

// A check box: Value 1 ticked, 0 clear. Click fires whenever the state
// changes, also when the program sets it.
class CheckBox : public Control {
public:
    CheckBox(Form& form, ControlDesign design)
        : Control(form, ControlKind::CheckBox, std::move(design)) {}
    int Value() const { return value_; }
    void SetValue(int value);
    // The user clicks the box: the state flips.
    bool UserToggle();

private:
    int value_ = 0;
};

// An image or picture box: a picture file from the pictures folder (declared)
// and the handle of the picture loaded for it, 0 while none is.
class PictureControl : public Control {
public:
    PictureControl(Form& form, ControlKind kind, ControlDesign design)
        : Control(form, kind, std::move(design)) {}
    const std::string& PictureFile() const { return Layout().picture; }
    int32_t PictureHandle() const { return picture_; }
    void SetPicture(int32_t handle);

private:
    int32_t picture_ = 0;
};

class Image : public PictureControl {
public:
    Image(Form& form, ControlDesign design)
        : PictureControl(form, ControlKind::Image, std::move(design)) {}
};

class PictureBox : public PictureControl {
public:
    PictureBox(Form& form, ControlDesign design)
        : PictureControl(form, ControlKind::PictureBox, std::move(design)) {}
};

// A timer ticks while it is enabled and its interval is above 0; setting 0
// or disabling it stops it. Starting it again (a new interval, or enabled
// again) starts a whole new period.
class Timer : public Control {
public:
    Timer(Form& form, std::string name)
        : Control(form, ControlKind::Timer, Design(std::move(name))) {}
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    // Called by the host at each period.
    void Fire() {
        if (interval_ > 0 && Enabled() && Tick) Tick();
    }
    std::function<void()> Tick;

private:
    int interval_ = 0;
};

}  // namespace gimbalo
