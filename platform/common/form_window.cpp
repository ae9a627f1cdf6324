#include "platform/common/form_window.h"

namespace gimbalo {

void FormWindow::FormChanged(Property what) {
    if (Detached()) return;
    switch (what) {
        case Property::Caption:
            ShowCaption();
            break;
        case Property::Visible:
            ShowVisibility();
            break;
        case Property::Icon:
            ShowIcon();
            break;
        case Property::Foreground:
            BringToFront();
            break;
        default:
            break;
    }
}

}  // namespace gimbalo
