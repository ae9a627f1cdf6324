// Window states that Qt has no word for, set on the X window before it is
// mapped so that the window manager sees them from the start.
#pragma once

class QWidget;

namespace gimbalo {

// Keeps a top-level window out of the task bar and the pager
// (_NET_WM_STATE_SKIP_TASKBAR, _NET_WM_STATE_SKIP_PAGER). Call before each
// show: a window manager drops the state of a window it unmaps.
void SkipTaskbar(QWidget& window);

}  // namespace gimbalo
