// Clicks on icons docked in an X11 notification area, as the program takes
// them: Qt reports a click on such an icon when the button goes down, but the
// program acts on the button coming up over the icon, and a button held down
// on it opens nothing. This watches Qt's docked icon windows and turns each
// press Qt reports into the release that ends it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace gimbalo {

class XEmbedClicks : public QObject {
public:
    // `deliver` gets an icon's serial and a mouse message, always later than
    // the mouse event it comes from: the program may open its menu, or take
    // the icon away, and must not do so inside the icon's own handling.
    explicit XEmbedClicks(std::function<void(uint32_t serial, int32_t message)> deliver);
    ~XEmbedClicks() override;
    XEmbedClicks(const XEmbedClicks&) = delete;
    XEmbedClicks& operator=(const XEmbedClicks&) = delete;

    // Icon `serial` was activated for `reason`. During a press on a docked
    // icon the message waits for that button's release over the icon; an
    // activation from a desktop that reports whole clicks goes on at once.
    void Activated(uint32_t serial, QSystemTrayIcon::ActivationReason reason);
    // Icon `serial` went: a release still awaited on it delivers nothing.
    void Forget(uint32_t serial);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Later(uint32_t serial, int32_t message);

    struct Awaited {
        uint32_t serial = 0;
        int32_t message = 0;
    };
    std::function<void(uint32_t, int32_t)> deliver_;
    // The docked icon window a button is down on, and that button.
    QPointer<QWidget> pressedOn_;
    Qt::MouseButton button_ = Qt::NoButton;
    // What that button's release over the icon delivers.
    std::optional<Awaited> awaited_;
};

}  // namespace gimbalo
