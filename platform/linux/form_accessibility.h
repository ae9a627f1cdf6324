// How a form reads to a screen reader, beyond what Qt gives every widget:
// the window is a dialog named by its title, a picture is a graphic named by
// its description, decoration is left out of the tree, a list is named by
// its caption, and a link is a link that a press follows. Check boxes,
// buttons and labels keep Qt's own interfaces, with the names and label
// relations the window gives them.
#pragma once

class QWidget;

namespace gimbalo {

class QtFormWindow;

// Puts the forms' interfaces in place for the running application, and
// takes them away again before it ends.
void InstallFormAccessibility();
void RemoveFormAccessibility();

// Qt may make an interface for a widget while the window is still being
// built, before the widget is known as a control; such an interface is
// dropped, so the next query gets the form's own.
void RefreshAccessibleInterfaces(QtFormWindow& window);

}  // namespace gimbalo
