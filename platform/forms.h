// Models of forms, their controls and their popup menus: plain state plus
// events, with the desktop's rules built in once. Each form declares its
// controls as data (kind, name, container, place, font, colours, caption, tab
// order, pointer); a backend renders any form through one generic host that
// observes the models, and turns what the user does into the same calls that
// tests make (UserClick, UserPick, UserType, UserToggle, UserChoose,
// UserClose, UserEscape, UserFocus, UserPointerOver).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace gimbalo {

class Form;
class Control;
class Menu;
class MenuItem;

enum class ControlKind {
    Label,
    ComboBox,  // editable drop-down list: a text part and a list of entries
    CheckBox,
    CommandButton,
    Image,       // shows a picture; takes no focus
    PictureBox,  // shows a picture and can contain other controls
    Frame,       // a box or rule; can contain other controls
    Timer        // invisible; ticks while its interval is above 0
};

// What changed in a model, so a host updates only that.
enum class Property {
    Caption,    // control, form or menu item caption
    Text,       // text part of a combo box
    Items,      // entries of a combo box
    ListIndex,  // selected entry of a combo box
    Value,      // state of a check box
    Enabled,
    Visible,
    Bounds,    // position or size of a control
    Interval,  // a timer's period
    Picture,   // picture of an image, picture box or menu item
    Icon,      // a form's icon
    // A shown form was shown again: its window comes to the front and takes
    // the keyboard focus, so a command that shows it never seems to do nothing.
    Foreground
};

// Positions and sizes are declared in the form's unit; a host converts.
enum class Unit { Twips, Pixels };
constexpr int kTwipsPerPixel = 15;

using Rgb = uint32_t;
constexpr Rgb RGB(int red, int green, int blue) {
    return static_cast<Rgb>(red) | (static_cast<Rgb>(green) << 8) | (static_cast<Rgb>(blue) << 16);
}
constexpr int RedOf(Rgb colour) {
    return static_cast<int>(colour & 0xFF);
}
constexpr int GreenOf(Rgb colour) {
    return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int BlueOf(Rgb colour) {
    return static_cast<int>((colour >> 16) & 0xFF);
}
constexpr Rgb kWhite = RGB(255, 255, 255);
constexpr Rgb kBlack = RGB(0, 0, 0);

// Contrast of two colours as the Web Content Accessibility Guidelines measure
// it, from 1 (the same) to 21 (black on white).
double ContrastRatio(Rgb first, Rgb second);
// The least contrast between text and its background that keeps the text
// readable, and the least for a focus mark or a control's outline.
constexpr double kTextContrast = 4.5;
constexpr double kMarkContrast = 3.0;
// `colour` when it contrasts with `background` by at least `minimum`; else
// the same hue moved toward black (on a light background) or white, just
// far enough. Hosts draw every text that lies on a declared background in it.
Rgb ReadableOn(Rgb colour, Rgb background, double minimum = kTextContrast);
// Black or white, whichever contrasts more with `background`.
Rgb StrongestOn(Rgb background);

struct Font {
    Font() = default;
    Font(std::string name_, double size_, bool bold_ = false, bool italic_ = false,
         bool underline_ = false)
        : name(std::move(name_)),
          size(size_),
          bold(bold_),
          italic(italic_),
          underline(underline_) {}
    std::string name = "MS Sans Serif";
    double size = 8.25;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const Font&) const = default;
};

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds&) const = default;
};

enum class Alignment { Left, Right, Center };
enum class PointerShape { Default, Hand };

// How a control is declared: what a host needs to build its widget. Written
// as a chain, Control::Design("Combo1").At(372, 20, 105, 24).Tab(0).
struct ControlDesign {
    std::string name;
    Control* container = nullptr;  // nullptr: the form itself
    Bounds bounds;
    std::optional<Font> font;      // nothing: the form's font
    std::optional<Rgb> foreColor;  // nothing: the desktop's colour for the kind
    std::optional<Rgb> backColor;  // nothing: the desktop's colour for the kind
    bool transparent = false;      // the container shows through the background
    Alignment alignment = Alignment::Left;
    PointerShape pointer = PointerShape::Default;
    int tabIndex = -1;    // -1: takes no focus
    std::string caption;  // design caption (labels, buttons, check boxes, frames)
    std::string picture;  // file name in the pictures folder, or empty
    bool visible = true;
    bool enabled = true;
    // For screen readers, and for whatever else reads a form as a tree:
    Control* captionOf = nullptr;  // a label: the control it captions, which takes its name
    std::string description;       // a picture: a short text saying what it shows
    bool decorative = false;       // a picture: decoration only, left out of the tree
    // A link to this address (a label): it takes focus when it has a tab
    // index, and Enter or Space on it clicks it, as a click of the pointer does.
    std::string link;

    ControlDesign& In(Control& parent) {
        container = &parent;
        return *this;
    }
    ControlDesign& At(int left, int top, int width, int height) {
        bounds = {left, top, width, height};
        return *this;
    }
    ControlDesign& WithFont(Font f) {
        font = std::move(f);
        return *this;
    }
    ControlDesign& Fore(Rgb colour) {
        foreColor = colour;
        return *this;
    }
    ControlDesign& Back(Rgb colour) {
        backColor = colour;
        return *this;
    }
    ControlDesign& Transparent() {
        transparent = true;
        return *this;
    }
    ControlDesign& Align(Alignment a) {
        alignment = a;
        return *this;
    }
    ControlDesign& HandPointer() {
        pointer = PointerShape::Hand;
        return *this;
    }
    ControlDesign& Tab(int index) {
        tabIndex = index;
        return *this;
    }
    ControlDesign& Caption(std::string text) {
        caption = std::move(text);
        return *this;
    }
    ControlDesign& Picture(std::string fileName) {
        picture = std::move(fileName);
        return *this;
    }
    ControlDesign& Hidden() {
        visible = false;
        return *this;
    }
    ControlDesign& CaptionOf(Control& control) {
        captionOf = &control;
        return *this;
    }
    ControlDesign& Describe(std::string text) {
        description = std::move(text);
        return *this;
    }
    ControlDesign& Decorative() {
        decorative = true;
        return *this;
    }
    ControlDesign& LinkTo(std::string address) {
        link = std::move(address);
        return *this;
    }
};

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

// A timer ticks while its interval is above 0; setting 0 stops it.
class Timer : public Control {
public:
    Timer(Form& form, std::string name)
        : Control(form, ControlKind::Timer, Design(std::move(name))) {}
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    // Called by the host at each period.
    void Fire() {
        if (interval_ > 0 && Tick) Tick();
    }
    std::function<void()> Tick;

private:
    int interval_ = 0;
};

// A form's popup menu (the top-level menu of its menu bar, never shown as a
// bar). Items are declared in order; their command identifiers are given by
// the form, unique within it.
class Menu {
public:
    Menu(Form& form, std::string name, std::string caption);
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    Form& Owner() const { return form_; }
    const std::vector<MenuItem*>& Items() const { return items_; }
    MenuItem* Find(const std::string& name) const;
    MenuItem* FindById(uint32_t commandId) const;

private:
    friend class MenuItem;
    Form& form_;
    std::string name_;
    std::string caption_;
    std::vector<MenuItem*> items_;
};

// An item of a popup menu. A caption of "-" makes it a separator. An
// ampersand in the caption marks the next letter as the access key.
class MenuItem {
public:
    MenuItem(Menu& menu, std::string name, std::string caption);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Name() const { return name_; }
    Menu& Parent() const { return menu_; }
    int Position() const { return position_; }
    uint32_t CommandId() const { return commandId_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsSeparator() const { return caption_ == "-"; }
    // Picture shown beside the item (a picture handle), 0 for none.
    int32_t PictureHandle() const { return picture_; }
    void SetPicture(int32_t handle);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The user chooses the item from the shown menu: Click runs unless the
    // item is a separator or disabled. True when it ran.
    bool UserChoose();

    std::function<void()> Click;

private:
    void Notify(Property what);

    Menu& menu_;
    std::string name_;
    std::string caption_;
    int position_;
    uint32_t commandId_;
    int32_t picture_ = 0;
    bool enabled_ = true;
};

// The item a menu call names: by its position in the one menu searched, or
// (by command) by its identifier in any of them. nullptr when none is.
MenuItem* FindMenuItemFor(const std::vector<Menu*>& searched, uint32_t item, bool byPosition);

// The command identifier of the item at `position` of `menu`, 0xFFFFFFFF
// when there is no such item (or no menu).
uint32_t MenuItemIdAt(const Menu* menu, int position);

enum class FormBorder { None, FixedDialog, Sizable };
enum class StartPosition { WindowsDefault, CenterScreen };

// How a form is declared.
struct FormDesign {
    std::string name;
    Unit unit = Unit::Twips;
    int clientWidth = 0;  // in the form's unit
    int clientHeight = 0;
    Font font;
    Rgb backColor = kWhite;
    FormBorder border = FormBorder::FixedDialog;  // close button, no minimise or maximise
    bool showInTaskbar = false;
    StartPosition startPosition = StartPosition::WindowsDefault;
    std::string caption;  // design title
    std::string icon;     // icon file in the pictures folder, or empty
    // The form itself takes the keyboard focus when shown, and Tab leads from
    // it to its first control: for a form that is read rather than edited.
    bool takesFocus = false;

    static FormDesign Named(std::string formName) {
        FormDesign design;
        design.name = std::move(formName);
        return design;
    }
    FormDesign& Client(Unit u, int width, int height) {
        unit = u;
        clientWidth = width;
        clientHeight = height;
        return *this;
    }
    FormDesign& WithFont(Font f) {
        font = std::move(f);
        return *this;
    }
    FormDesign& Back(Rgb colour) {
        backColor = colour;
        return *this;
    }
    FormDesign& Border(FormBorder b) {
        border = b;
        return *this;
    }
    FormDesign& Placed(StartPosition p) {
        startPosition = p;
        return *this;
    }
    FormDesign& Caption(std::string text) {
        caption = std::move(text);
        return *this;
    }
    FormDesign& Icon(std::string fileName) {
        icon = std::move(fileName);
        return *this;
    }
    FormDesign& TakesFocus() {
        takesFocus = true;
        return *this;
    }
};

class Form {
public:
    explicit Form(FormDesign design);
    explicit Form(std::string name) : Form(FormDesign::Named(std::move(name))) {}
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return design_.name; }
    const FormDesign& Layout() const { return design_; }
    // Controls in the order declared; a container comes before what it holds.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(const std::string& name) const;
    // The form's menus (its menu bar); the program's main window has one.
    const std::vector<Menu*>& Menus() const { return menus_; }
    // Finds a menu item by name in any of the form's menus.
    MenuItem* FindMenuItem(const std::string& name) const;

    std::string Tag;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The form's icon, a picture handle (0: none yet).
    int32_t Icon() const { return icon_; }
    void SetIcon(int32_t handle);
    bool Visible() const { return visible_; }
    // Shows the form; a form already shown comes to the front instead.
    void Show();
    void Hide();

    // The host that renders the form, or nullptr while it has none.
    ModelObserver* Observer() const { return observer_; }
    void SetObserver(ModelObserver* observer) { observer_ = observer; }

    // The user closes the form from its title bar: TitleBarClose runs.
    void UserClose() {
        if (TitleBarClose) TitleBarClose();
    }
    // The user clicks the form's background.
    void UserClick() {
        if (Click) Click();
    }
    // The user presses Escape in the form.
    void UserEscape() {
        if (Escape) Escape();
    }

    // Mouse moves over the form; the tray callback arrives this way.
    std::function<void(int button, int shift, float x, float y)> MouseMove;
    std::function<void()> Click;
    std::function<void()> TitleBarClose;
    std::function<void()> Escape;

private:
    friend class Control;
    friend class Menu;
    friend class MenuItem;
    void Add(Control* control) { controls_.push_back(control); }
    void NotifyForm(Property what);

    FormDesign design_;
    std::string caption_;
    int32_t icon_ = 0;
    bool visible_ = false;
    std::vector<Control*> controls_;
    std::vector<Menu*> menus_;
    uint32_t nextCommandId_ = 1;
    ModelObserver* observer_ = nullptr;
};

}  // namespace gimbalo
