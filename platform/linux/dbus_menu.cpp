#include "platform/linux/dbus_menu.h"

#include <QBuffer>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QTimer>

#include "platform/forms.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/qt_text.h"

namespace gimbalo {
namespace {

constexpr const char* kInterface = "com.canonical.dbusmenu";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

// One entry's properties, as GetGroupProperties hands them out: (ia{sv}).
struct EntryProperties {
    int id = 0;
    QVariantMap properties;
};

}  // namespace
}  // namespace gimbalo

Q_DECLARE_METATYPE(gimbalo::EntryProperties)

namespace gimbalo {
namespace {

QDBusArgument& operator<<(QDBusArgument& out, const EntryProperties& entry) {
    out.beginStructure();
    out << entry.id << entry.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, EntryProperties& entry) {
    in.beginStructure();
    in >> entry.id >> entry.properties;
    in.endStructure();
    return in;
}

constexpr const char kIntrospection[] = R"xml(<interface name="com.canonical.dbusmenu">
  <property name="Version" type="u" access="read"/><property name="Status" type="s" access="read"/>
  <property name="TextDirection" type="s" access="read"/>
  <property name="IconThemePath" type="as" access="read"/>
  <method name="GetLayout"><arg type="i" name="parentId"/><arg type="i" name="recursionDepth"/>
    <arg type="as" name="propertyNames"/><arg type="u" name="revision" direction="out"/>
    <arg type="(ia{sv}av)" name="layout" direction="out"/></method>
  <method name="GetGroupProperties"><arg type="ai" name="ids"/><arg type="as" name="propertyNames"/>
    <arg type="a(ia{sv})" name="properties" direction="out"/></method>
  <method name="GetProperty"><arg type="i" name="id"/><arg type="s" name="name"/>
    <arg type="v" name="value" direction="out"/></method>
  <method name="Event"><arg type="i" name="id"/><arg type="s" name="eventId"/>
    <arg type="v" name="data"/><arg type="u" name="timestamp"/></method>
  <method name="EventGroup"><arg type="a(isvu)" name="events"/>
    <arg type="ai" name="idErrors" direction="out"/></method>
  <method name="AboutToShow"><arg type="i" name="id"/>
    <arg type="b" name="needUpdate" direction="out"/></method>
  <method name="AboutToShowGroup"><arg type="ai" name="ids"/>
    <arg type="ai" name="updatesNeeded" direction="out"/>
    <arg type="ai" name="idErrors" direction="out"/></method>
  <signal name="ItemsPropertiesUpdated"><arg type="a(ia{sv})" name="updatedProps"/>
    <arg type="a(ias)" name="removedProps"/></signal>
  <signal name="LayoutUpdated"><arg type="u" name="revision"/><arg type="i" name="parent"/></signal>
  <signal name="ItemActivationRequested"><arg type="i" name="id"/><arg type="u" name="timestamp"/>
  </signal>
</interface>
)xml";

// The properties a caller asked for; all when it named none.
QVariantMap Only(const QVariantMap& properties, const QStringList& names) {
    if (names.isEmpty()) return properties;
    QVariantMap asked;
    for (const QString& name : names)
        if (properties.contains(name)) asked.insert(name, properties.value(name));
    return asked;
}

}  // namespace

QString DBusMenuLabel(const QString& caption) {
    QString label;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar character = caption[i];
        if (character == u'&' && i + 1 < caption.size()) {
            const QChar next = caption[++i];
            if (next == u'&')
                label += u'&';
            else if (next == u'_')
                label += QStringLiteral("__");
            else
                label += QStringLiteral("_") + next;
        } else if (character == u'_') {
            label += QStringLiteral("__");
        } else {
            label += character;
        }
    }
    return label;
}

bool AnswerPropertiesCall(const QDBusMessage& message, const QString& interfaceName,
                          const QVariantMap& properties, const QDBusConnection& connection) {
    if (message.interface() != QLatin1String(kPropertiesInterface)) return false;
    const QVariantList arguments = message.arguments();
    const QString asked = arguments.value(0).toString();
    QDBusMessage reply;
    if (message.member() == QLatin1String("GetAll") && arguments.size() == 1) {
        reply = message.createReply(asked == interfaceName ? properties : QVariantMap());
    } else if (message.member() == QLatin1String("Get") && arguments.size() == 2 &&
               asked == interfaceName && properties.contains(arguments[1].toString())) {
        reply = message.createReply(
            QVariant::fromValue(QDBusVariant(properties.value(arguments[1].toString()))));
    } else if (message.member() == QLatin1String("Set")) {
        reply = message.createErrorReply(QDBusError::PropertyReadOnly,
                                         QStringLiteral("The properties are read-only"));
    } else {
        reply = message.createErrorReply(QDBusError::UnknownProperty,
                                         QStringLiteral("No such property"));
    }
    connection.send(reply);
    return true;
}

DBusMenu::DBusMenu(Menu& menu, PictureStore& pictures, std::function<void(MenuItem&)> choose,
                   QDBusConnection connection)
    : menu_(&menu),
      pictures_(pictures),
      choose_(std::move(choose)),
      connection_(std::move(connection)) {
    qDBusRegisterMetaType<EntryProperties>();
    qDBusRegisterMetaType<QList<EntryProperties>>();
    shown_ = Entries();
}

std::vector<DBusMenu::Entry> DBusMenu::Entries() const {
    std::vector<Entry> entries;
    if (menu_ == nullptr) return entries;
    for (const MenuItem* item : menu_->Items()) {
        Entry entry;
        entry.id = static_cast<int>(item->CommandId());
        entry.separator = item->IsSeparator();
        if (!entry.separator) {
            entry.label = DBusMenuLabel(QtText(item->Caption()));
            entry.enabled = item->Enabled();
            entry.picture = item->PictureHandle();
        }
        entries.push_back(entry);
    }
    return entries;
}

QVariantMap DBusMenu::Properties(const Entry& entry) const {
    if (entry.separator) return {{QStringLiteral("type"), QStringLiteral("separator")}};
    QVariantMap properties{{QStringLiteral("label"), entry.label},
                           {QStringLiteral("enabled"), entry.enabled},
                           {QStringLiteral("visible"), true}};
    const QPixmap picture = pictures_.Pixmap(entry.picture);
    if (!picture.isNull()) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        if (picture.save(&png, "PNG")) properties.insert(QStringLiteral("icon-data"), png.data());
    }
    return properties;
}

bool DBusMenu::Layout(int parent, int depth, QVariant& layout) const {
    const std::vector<Entry> entries = Entries();
    const auto Node = [](int id, const QVariantMap& properties, const QList<QDBusArgument>& below) {
        QDBusArgument node;
        node.beginStructure();
        node << id << properties;
        node.beginArray(QMetaType::fromType<QDBusVariant>());
        for (const QDBusArgument& child : below) node << QDBusVariant(QVariant::fromValue(child));
        node.endArray();
        node.endStructure();
        return node;
    };
    if (parent == 0) {
        QList<QDBusArgument> children;
        if (depth != 0)
            for (const Entry& entry : entries)
                children.append(Node(entry.id, Properties(entry), {}));
        layout = QVariant::fromValue(
            Node(0, {{QStringLiteral("children-display"), QStringLiteral("submenu")}}, children));
        return true;
    }
    for (const Entry& entry : entries) {
        if (entry.id != parent) continue;
        layout = QVariant::fromValue(Node(entry.id, Properties(entry), {}));
        return true;
    }
    return false;
}

bool DBusMenu::Refresh() {
    std::vector<Entry> now = Entries();
    if (now == shown_) return false;
    shown_ = std::move(now);
    ++revision_;
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(kPath), QLatin1String(kInterface), QStringLiteral("LayoutUpdated"));
    signal << revision_ << 0;
    connection_.send(signal);
    return true;
}

bool DBusMenu::Activate(int id) {
    if (menu_ == nullptr || id <= 0) return false;
    const MenuItem* item = menu_->FindById(static_cast<uint32_t>(id));
    if (item == nullptr || item->IsSeparator()) return false;
    // The panel's call is answered first: the command may open a dialog
    // that waits for the user.
    QTimer::singleShot(0, this, [this, id] {
        MenuItem* chosen = menu_ != nullptr ? menu_->FindById(static_cast<uint32_t>(id)) : nullptr;
        if (chosen != nullptr) choose_(*chosen);
        if (menu_ != nullptr) Refresh();
    });
    return true;
}

void DBusMenu::Reply(const QDBusMessage& message, const QVariantList& arguments) {
    connection_.send(message.createReply(arguments));
}

QString DBusMenu::introspect(const QString&) const {
    return QString::fromLatin1(kIntrospection);
}

bool DBusMenu::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const QVariantMap ownProperties{{QStringLiteral("Version"), 3u},
                                    {QStringLiteral("TextDirection"), QStringLiteral("ltr")},
                                    {QStringLiteral("Status"), QStringLiteral("normal")},
                                    {QStringLiteral("IconThemePath"), QStringList()}};
    if (AnswerPropertiesCall(message, QLatin1String(kInterface), ownProperties, connection))
        return true;
    if (!message.interface().isEmpty() && message.interface() != QLatin1String(kInterface))
        return false;
    const QVariantList arguments = message.arguments();
    const QString member = message.member();
    const auto Ints = [](const QVariant& value) { return qdbus_cast<QList<int>>(value); };

    if (member == QLatin1String("GetLayout") && arguments.size() == 3) {
        QVariant layout;
        if (!Layout(arguments[0].toInt(), arguments[1].toInt(), layout)) {
            connection.send(
                message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such entry")));
            return true;
        }
        Refresh();
        Reply(message, {QVariant::fromValue(revision_), layout});
    } else if (member == QLatin1String("GetGroupProperties") && arguments.size() == 2) {
        const QList<int> ids = Ints(arguments[0]);
        const QStringList names = arguments[1].toStringList();
        QList<EntryProperties> answer;
        for (const Entry& entry : Entries())
            if (ids.isEmpty() || ids.contains(entry.id))
                answer.append({entry.id, Only(Properties(entry), names)});
        Reply(message, {QVariant::fromValue(answer)});
    } else if (member == QLatin1String("GetProperty") && arguments.size() == 2) {
        const int id = arguments[0].toInt();
        const QString name = arguments[1].toString();
        for (const Entry& entry : Entries()) {
            if (entry.id != id || !Properties(entry).contains(name)) continue;
            Reply(message, {QVariant::fromValue(QDBusVariant(Properties(entry).value(name)))});
            return true;
        }
        connection.send(
            message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such property")));
    } else if (member == QLatin1String("Event") && arguments.size() == 4) {
        if (arguments[1].toString() == QLatin1String("clicked")) Activate(arguments[0].toInt());
        Reply(message, {});
    } else if (member == QLatin1String("EventGroup") && arguments.size() == 1) {
        QList<int> errors;
        const QDBusArgument events = arguments[0].value<QDBusArgument>();
        events.beginArray();
        while (!events.atEnd()) {
            int id = 0;
            QString event;
            QDBusVariant data;
            uint timestamp = 0;
            events.beginStructure();
            events >> id >> event >> data >> timestamp;
            events.endStructure();
            if (event == QLatin1String("clicked") && !Activate(id)) errors.append(id);
        }
        events.endArray();
        Reply(message, {QVariant::fromValue(errors)});
    } else if (member == QLatin1String("AboutToShow") && arguments.size() == 1) {
        Reply(message, {Refresh()});
    } else if (member == QLatin1String("AboutToShowGroup") && arguments.size() == 1) {
        const bool changed = Refresh();
        Reply(message, {QVariant::fromValue(changed ? QList<int>{0} : QList<int>()),
                        QVariant::fromValue(QList<int>())});
    } else {
        return false;
    }
    return true;
}

}  // namespace gimbalo
