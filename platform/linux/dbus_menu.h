// A form's popup menu exported over D-Bus (com.canonical.dbusmenu), so that
// a panel that takes icons as StatusNotifierItems draws the menu itself,
// where panels draw menus. The entries are read from the menu's model each
// time a panel asks, so they carry the current captions (the access key
// marked as the protocol marks it), separators and pictures; choosing one
// runs the same command as the popup menu's item.
#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace gimbalo {

class Menu;
class MenuItem;
class PictureStore;

// The label of a caption as the protocol writes it: the access key after an
// underscore, a plain underscore doubled, "&&" a plain ampersand.
QString DBusMenuLabel(const QString& caption);

// Answers `message` when it is a call of org.freedesktop.DBus.Properties
// (Get, GetAll; Set is refused) on an object whose `interfaceName` has
// `properties`, all read-only. Whether it was such a call.
bool AnswerPropertiesCall(const QDBusMessage& message, const QString& interfaceName,
                          const QVariantMap& properties, const QDBusConnection& connection);

class DBusMenu : public QDBusVirtualObject {
public:
    // Where the menu is exported on its connection.
    static constexpr const char* kPath = "/MenuBar";

    // Exports `menu`, whose pictures are in `pictures`, once registered on
    // `connection` under kPath; `choose` runs, from the message loop, when a
    // panel activates an entry. The menu and the pictures must outlive this,
    // or be let go of first (Detach).
    DBusMenu(Menu& menu, PictureStore& pictures, std::function<void(MenuItem&)> choose,
             QDBusConnection connection);

    // Tells the panels when an entry changed since they last read the menu
    // (a language chosen); whether it had.
    bool Refresh();
    // Lets go of the menu: from now on it is empty and nothing runs.
    void Detach() { menu_ = nullptr; }

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    struct Entry {
        int id = 0;
        QString label;
        bool separator = false;
        bool enabled = true;
        int32_t picture = 0;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> Entries() const;
    QVariantMap Properties(const Entry& entry) const;
    // The layout from `parent` down (0: the menu), as GetLayout answers it;
    // false for no such entry.
    bool Layout(int parent, int depth, QVariant& layout) const;
    // Runs entry `id`'s command once the call that asked for it has
    // returned; false for no such entry.
    bool Activate(int id);
    void Reply(const QDBusMessage& message, const QVariantList& arguments);

    Menu* menu_;
    PictureStore& pictures_;
    std::function<void(MenuItem&)> choose_;
    QDBusConnection connection_;
    std::vector<Entry> shown_;
    uint32_t revision_ = 1;
};

}  // namespace gimbalo
