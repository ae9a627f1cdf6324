// How forms and controls are declared: kinds, units, fonts, places,
// alignment, pointers, and the design records a host builds from.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/forms/colours.h"

namespace gimbalo {

class Control;

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

}  // namespace gimbalo
