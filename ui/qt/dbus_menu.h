#pragma once
// The tray item's menu as trays read it over the session bus: a flat
// com.canonical.dbusmenu object (the interface of libdbusmenu, which Plasma,
// GNOME's AppIndicator extension and waybar read). The tray draws the menu
// itself and reports the user's choice back with Event "clicked". GNOME's
// extension drops an item that names no such menu.

#include <QDBusArgument>
#include <QDBusContext>
#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace tindora::qt {

// One item and, to the depth asked for, its children: (ia{sv}av), each
// child a variant holding the same structure.
struct DBusMenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayout> children;
};

// An item's properties: (ia{sv}).
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

// Names of properties an item no longer has: (ias).
struct DBusMenuItemPropertyNames {
    int id = 0;
    QStringList names;
};
using DBusMenuItemPropertyNamesList = QList<DBusMenuItemPropertyNames>;

// One of several events sent at once: (isvu).
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    // Never empty: QtDBus reads the structure's signature from a default one.
    QDBusVariant data{0};
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

// A root (id 0) whose children are the items (ids 1, 2, … in order), each
// a plain entry with a label. Exported with ExportScriptableContents.
class DBusMenu : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenu(QObject* parent = nullptr);

    // The items' labels, in order. A tray that already read the menu is told
    // to read it again (LayoutUpdated).
    void setItems(const QStringList& labels);

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    // QtDBus finds the arguments' types by their names: fully qualified, no
    // aliases.
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                tindora::qt::DBusMenuLayout& layout);
    Q_SCRIPTABLE QList<tindora::qt::DBusMenuItemProperties> GetGroupProperties(const QList<int>& ids,
                                                                               const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const QList<tindora::qt::DBusMenuEvent>& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

Q_SIGNALS:
    Q_SCRIPTABLE void ItemsPropertiesUpdated(const QList<tindora::qt::DBusMenuItemProperties>& updatedProps,
                                             const QList<tindora::qt::DBusMenuItemPropertyNames>& removedProps);
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemActivationRequested(int id, uint timestamp);

    // The user chose the item at `index` of setItems(); emitted after the
    // tray's call has been answered.
    void itemClicked(int index);

private:
    bool hasItem(int id) const { return id >= 0 && id <= m_labels.size(); }
    QVariantMap propertiesOf(int id, const QStringList& names) const;
    // Acts on one event; false for an id the menu does not have.
    bool handleEvent(int id, const QString& eventId);
    void refuseId(int id);

    QStringList m_labels;
    uint m_revision = 1;
};

// Once per process, before the menu is exported or read.
void registerDBusMenuTypes();

QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuLayout& layout);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuLayout& layout);
QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuItemPropertyNames& item);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuItemPropertyNames& item);
QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuEvent& event);

} // namespace tindora::qt

Q_DECLARE_METATYPE(tindora::qt::DBusMenuLayout)
Q_DECLARE_METATYPE(tindora::qt::DBusMenuItemProperties)
Q_DECLARE_METATYPE(tindora::qt::DBusMenuItemPropertyNames)
Q_DECLARE_METATYPE(tindora::qt::DBusMenuEvent)
