#include "platform/linux/xembed_clicks.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "platform/platform.h"

namespace gimbalo {

namespace {

// The middle button's release over an icon; the program ignores it.
constexpr int32_t WM_MBUTTONUP = 520;

// The button release the program sees for each way of activating the icon.
int32_t ReleaseMessage(QSystemTrayIcon::ActivationReason reason) {
    constexpr std::pair<QSystemTrayIcon::ActivationReason, int32_t> kReleases[] = {
        {QSystemTrayIcon::Trigger, WM_LBUTTONUP},
        {QSystemTrayIcon::Context, WM_RBUTTONUP},
        {QSystemTrayIcon::DoubleClick, WM_LBUTTONUP},
        {QSystemTrayIcon::MiddleClick, WM_MBUTTONUP},
    };
    for (const auto& [activation, message] : kReleases)
        if (activation == reason) return message;
    return 0;  // a way the program does not know
}

// Qt's window for an icon docked in an X11 notification area.
QWidget* DockedIcon(QObject* object) {
    if (!object->isWidgetType() || object->objectName() != QLatin1String("QSystemTrayIconSys"))
        return nullptr;
    return static_cast<QWidget*>(object);
}

}  // namespace

XEmbedClicks::XEmbedClicks(std::function<void(uint32_t, int32_t)> deliver)
    : deliver_(std::move(deliver)) {
    qApp->installEventFilter(this);
}

XEmbedClicks::~XEmbedClicks() {
    qApp->removeEventFilter(this);
}

void XEmbedClicks::Activated(uint32_t serial, QSystemTrayIcon::ActivationReason reason) {
    const int32_t message = ReleaseMessage(reason);
    if (message == 0) return;
    if (pressedOn_.isNull()) {
        Later(serial, message);
        return;
    }
    // The second press of a double click is told at once, as the shell
    // tells it; the release that ends it follows like any other.
    if (reason == QSystemTrayIcon::DoubleClick) Later(serial, WM_LBUTTONDBLCLK);
    awaited_ = Awaited{serial, message};
}

void XEmbedClicks::Forget(uint32_t serial) {
    if (awaited_ && awaited_->serial == serial) awaited_.reset();
}

bool XEmbedClicks::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return false;
    QWidget* icon = DockedIcon(watched);
    if (icon == nullptr) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (type != QEvent::MouseButtonRelease) {
        // Qt reports the activation while it handles this press; a press
        // that reports none awaits nothing.
        pressedOn_ = icon;
        button_ = mouse->button();
        awaited_.reset();
        return false;
    }
    if (icon != pressedOn_ || mouse->button() != button_) return false;
    pressedOn_.clear();
    // Dragged off the icon before the release: no click.
    if (awaited_ && icon->rect().contains(mouse->position().toPoint()))
        Later(awaited_->serial, awaited_->message);
    awaited_.reset();
    return false;
}

void XEmbedClicks::Later(uint32_t serial, int32_t message) {
    QTimer::singleShot(0, this, [this, serial, message] { deliver_(serial, message); });
}

}  // namespace gimbalo
