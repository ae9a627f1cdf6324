// Models of forms and their controls: plain state plus events, with the
// desktop's rules built in once. A backend renders any form through one
// generic host that observes the models; tests drive the models directly.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gimbalo {

class Form;
class Control;

enum class ControlKind {
    Label,
    ComboBox,
    CheckBox,
    CommandButton,
    Image,
    PictureBox,
    Frame,
    Timer
};

// What changed in a model, so a host updates only that.
enum class Property { Caption, Text, Items, ListIndex, Value, Enabled, Visible, Bounds, Interval };

enum class Unit { Twips, Pixels };
constexpr int kTwipsPerPixel = 15;

using Rgb = uint32_t;
constexpr Rgb RGB(int red, int green, int blue) {
    return static_cast<Rgb>(red) | (static_cast<Rgb>(green) << 8) | (static_cast<Rgb>(blue) << 16);
}
constexpr Rgb kWhite = RGB(255, 255, 255);
constexpr Rgb kBlack = RGB(0, 0, 0);

struct Font {
    std::string name = "MS Sans Serif";
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class Alignment { Left, Right, Center };
enum class PointerShape { Default, Hand };

// The host of a form: told about every change a model makes to itself.
class ModelObserver {
public:
    virtual ~ModelObserver() = default;
    virtual void ControlChanged(Control& control, Property what) = 0;
    virtual void FormChanged(Form& form, Property what) = 0;
};

// Declared appearance and place of a control, in the form's unit.
struct ControlLayout {
    Control* container = nullptr;  // nullptr: the form itself
    Bounds bounds;
    Font font;
    bool ownFont = false;  // false: the control takes the form's font
    Rgb foreColor = kBlack;
    Rgb backColor = kWhite;
    bool transparent = false;
    Alignment alignment = Alignment::Left;
    PointerShape pointer = PointerShape::Default;
    int tabIndex = -1;  // -1: takes no focus
};

class Control {
public:
    Control(Form& form, ControlKind kind, std::string name);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    Form& Owner() { return form_; }

    ControlLayout layout;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const Bounds& GetBounds() const { return layout.bounds; }
    void SetTop(int top);

    // Fired by the host when the user clicks the control.
    std::function<void()> Click;

protected:
    void Notify(Property what);

private:
    Form& form_;
    ControlKind kind_;
    std::string name_;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
};

class Label : public Control {
public:
    Label(Form& form, std::string name) : Control(form, ControlKind::Label, std::move(name)) {}
};

// A timer ticks while its interval is above 0; setting 0 stops it.
class Timer : public Control {
public:
    Timer(Form& form, std::string name) : Control(form, ControlKind::Timer, std::move(name)) {}
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

enum class FormBorder { None, FixedDialog, Sizable };

class Form {
public:
    explicit Form(std::string name);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(const std::string& name) const;

    // Declared appearance.
    Unit unit = Unit::Twips;
    Bounds client;  // width and height of the client area
    Font font;
    Rgb backColor = kWhite;
    FormBorder border = FormBorder::FixedDialog;
    bool showInTaskbar = false;
    bool centered = false;

    std::string Tag;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Visible() const { return visible_; }
    void Show();
    void Hide();

    // The host that renders the form, or nullptr while it has none.
    ModelObserver* Observer() const { return observer_; }
    void SetObserver(ModelObserver* observer) { observer_ = observer; }

    // Mouse moves over the form; the tray callback arrives this way.
    std::function<void(int button, int shift, float x, float y)> MouseMove;
    // Fired by the host when the user clicks the form's background.
    std::function<void()> Click;
    // Fired by the host when the user closes the form from its title bar.
    std::function<void()> TitleBarClose;

private:
    friend class Control;
    void Add(Control* control) { controls_.push_back(control); }
    void NotifyForm(Property what);

    std::string name_;
    std::string caption_;
    bool visible_ = false;
    std::vector<Control*> controls_;
    ModelObserver* observer_ = nullptr;
};

}  // namespace gimbalo
