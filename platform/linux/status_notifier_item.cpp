#include "platform/linux/status_notifier_item.h"

#include <unistd.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QImage>
#include <QtEndian>
#include <atomic>

#include "platform/linux/dbus_menu.h"
#include "platform/platform.h"

namespace gimbalo {
namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kInterface = "org.kde.StatusNotifierItem";
constexpr const char* kPath = "/StatusNotifierItem";
// The middle button's release over an icon; the program ignores it.
constexpr int32_t WM_MBUTTONUP = 520;
// Sizes panels draw icons at; each gets its own picture.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48};

// A picture as the protocol carries it: (iiay), ARGB32 in network order.
struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};

// (sa(iiay)ss): an icon's name and pictures, a title and a text.
struct ToolTip {
    QString iconName;
    QList<IconPixmap> pixmaps;
    QString title;
    QString text;
};

}  // namespace
}  // namespace gimbalo

Q_DECLARE_METATYPE(gimbalo::IconPixmap)
Q_DECLARE_METATYPE(gimbalo::ToolTip)

namespace gimbalo {
namespace {

QDBusArgument& operator<<(QDBusArgument& out, const IconPixmap& pixmap) {
    out.beginStructure();
    out << pixmap.width << pixmap.height << pixmap.argb;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, IconPixmap& pixmap) {
    in.beginStructure();
    in >> pixmap.width >> pixmap.height >> pixmap.argb;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const ToolTip& tip) {
    out.beginStructure();
    out << tip.iconName << tip.pixmaps << tip.title << tip.text;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, ToolTip& tip) {
    in.beginStructure();
    in >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    in.endStructure();
    return in;
}

QList<IconPixmap> Pixmaps(const QIcon& icon) {
    QList<IconPixmap> pixmaps;
    for (int size : kIconSizes) {
        const QImage image =
            icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) continue;
        bool known = false;
        for (const IconPixmap& made : pixmaps)
            known = known || (made.width == image.width() && made.height == image.height());
        if (known) continue;
        IconPixmap pixmap{image.width(), image.height(), {}};
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const quint32 argb = qToBigEndian(line[x]);
                pixmap.argb.append(reinterpret_cast<const char*>(&argb), sizeof argb);
            }
        }
        pixmaps.append(pixmap);
    }
    return pixmaps;
}

constexpr const char kIntrospection[] = R"xml(<interface name="org.kde.StatusNotifierItem">
  <property name="Category" type="s" access="read"/>
  <property name="Id" type="s" access="read"/>
  <property name="Title" type="s" access="read"/>
  <property name="Status" type="s" access="read"/>
  <property name="WindowId" type="i" access="read"/>
  <property name="IconThemePath" type="s" access="read"/>
  <property name="Menu" type="o" access="read"/>
  <property name="ItemIsMenu" type="b" access="read"/>
  <property name="IconName" type="s" access="read"/>
  <property name="IconPixmap" type="a(iiay)" access="read"/>
  <property name="OverlayIconName" type="s" access="read"/>
  <property name="OverlayIconPixmap" type="a(iiay)" access="read"/>
  <property name="AttentionIconName" type="s" access="read"/>
  <property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
  <property name="AttentionMovieName" type="s" access="read"/>
  <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
  <method name="ContextMenu"><arg name="x" type="i"/><arg name="y" type="i"/></method>
  <method name="Activate"><arg name="x" type="i"/><arg name="y" type="i"/></method>
  <method name="SecondaryActivate"><arg name="x" type="i"/><arg name="y" type="i"/></method>
  <method name="Scroll"><arg name="delta" type="i"/><arg name="orientation" type="s"/></method>
  <method name="ProvideXdgActivationToken"><arg name="token" type="s"/></method>
</interface>
)xml";

}  // namespace

// The icon's object on the bus: its properties never change while it lives.
class StatusNotifierItem::Item : public QDBusVirtualObject {
public:
    Item(const QIcon& icon, const QString& tip, bool hasMenu, std::function<void(int32_t)> click)
        : click_(std::move(click)) {
        const QList<IconPixmap> none;
        properties_ = {
            {QStringLiteral("Category"), QStringLiteral("ApplicationStatus")},
            {QStringLiteral("Id"), QStringLiteral("gimbalo")},
            {QStringLiteral("Title"), QStringLiteral("Gimbalo")},
            {QStringLiteral("Status"), QStringLiteral("Active")},
            {QStringLiteral("WindowId"), 0},
            {QStringLiteral("IconThemePath"), QString()},
            {QStringLiteral("Menu"),
             QVariant::fromValue(QDBusObjectPath(hasMenu ? DBusMenu::kPath : "/NO_DBUSMENU"))},
            {QStringLiteral("ItemIsMenu"), hasMenu},
            {QStringLiteral("IconName"), QString()},
            {QStringLiteral("IconPixmap"), QVariant::fromValue(Pixmaps(icon))},
            {QStringLiteral("OverlayIconName"), QString()},
            {QStringLiteral("OverlayIconPixmap"), QVariant::fromValue(none)},
            {QStringLiteral("AttentionIconName"), QString()},
            {QStringLiteral("AttentionIconPixmap"), QVariant::fromValue(none)},
            {QStringLiteral("AttentionMovieName"), QString()},
            {QStringLiteral("ToolTip"), QVariant::fromValue(ToolTip{{}, {}, tip, {}})},
        };
    }
    // No click reaches the program from now on.
    void Detach() { click_ = nullptr; }

    QString introspect(const QString&) const override {
        return QString::fromLatin1(kIntrospection);
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (AnswerPropertiesCall(message, QLatin1String(kInterface), properties_, connection))
            return true;
        if (!message.interface().isEmpty() && message.interface() != QLatin1String(kInterface))
            return false;
        const QString member = message.member();
        int32_t released = 0;
        if (member == QLatin1String("Activate"))
            released = WM_LBUTTONUP;
        else if (member == QLatin1String("ContextMenu"))
            released = WM_RBUTTONUP;
        else if (member == QLatin1String("SecondaryActivate"))
            released = WM_MBUTTONUP;
        else if (member != QLatin1String("Scroll") &&
                 member != QLatin1String("ProvideXdgActivationToken"))
            return false;
        connection.send(message.createReply());
        if (released != 0 && click_) click_(released);
        return true;
    }

private:
    std::function<void(int32_t)> click_;
    QVariantMap properties_;
};

bool StatusNotifierItem::HostPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        QLatin1String(kWatcher), QLatin1String(kWatcherPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QLatin1String(kWatcher) << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 1000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           qvariant_cast<QDBusVariant>(reply.arguments().first()).variant().toBool();
}

StatusNotifierItem::StatusNotifierItem(const QIcon& icon, const QString& tip, Menu* menu,
                                       PictureStore& pictures, Events events)
    : connectionName_([] {
          static std::atomic<int> made{0};
          return QStringLiteral("gimbalo-status-notifier-item-%1").arg(++made);
      }()),
      connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_)) {
    qDBusRegisterMetaType<IconPixmap>();
    qDBusRegisterMetaType<QList<IconPixmap>>();
    qDBusRegisterMetaType<ToolTip>();
    if (!connection_.isConnected()) return;

    item_ = new Item(icon, tip, menu != nullptr, std::move(events.click));
    connection_.registerVirtualObject(QLatin1String(kPath), item_);
    if (menu != nullptr) {
        menu_ = new DBusMenu(*menu, pictures, std::move(events.choose), connection_);
        connection_.registerVirtualObject(QLatin1String(DBusMenu::kPath), menu_);
    }
    // A name of the form watchers expect; the connection's own when taken.
    const QString name = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                             .arg(getpid())
                             .arg(connectionName_.section(u'-', -1));
    service_ = connection_.registerService(name) ? name : connection_.baseService();

    watcher_ = std::make_unique<QDBusServiceWatcher>(QLatin1String(kWatcher), connection_,
                                                     QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered,
                     [this] { Register(); });
    Register();
}

StatusNotifierItem::~StatusNotifierItem() {
    watcher_.reset();
    if (item_ != nullptr) {
        connection_.unregisterObject(QLatin1String(kPath));
        item_->Detach();
        item_->deleteLater();
    }
    if (menu_ != nullptr) {
        connection_.unregisterObject(QLatin1String(DBusMenu::kPath));
        menu_->Detach();
        menu_->deleteLater();
    }
    // The watcher sees the name go, and the panel takes the icon away.
    QDBusConnection::disconnectFromBus(connectionName_);
}

void StatusNotifierItem::Register() {
    // Sent without waiting for the answer: a watcher that refuses the icon
    // shows nothing whatever the program does.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(kWatcher), QLatin1String(kWatcherPath), QLatin1String(kWatcher),
        QStringLiteral("RegisterStatusNotifierItem"));
    call << service_;
    connection_.send(call);
}

}  // namespace gimbalo
