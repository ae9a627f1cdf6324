// The model of a form: its declaration, its controls and menus in the
// order declared, and the events of its window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/menus.h"

namespace gimbalo {

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
