#include "platform/common/form_window.h"

namespace gimbalo {

void FormWindow::FormChanged(Property what) {
    if (Detached()) return;
    if (what == Property::Caption)
        ShowCaption();
    else if (what == Property::Visible)
        ShowVisibility();
    else if (what == Property::Icon)
        ShowIcon();
    else if (what == Property::Foreground)
        BringToFront();
}

}  // namespace gimbalo
