#include "dbus_menu.h"

#include <QDBusMetaType>
#include <QTimer>

namespace tindora::qt {
namespace {

// A label's underscore marks the access key in dbusmenu: a literal one is
// doubled.
QString escapedLabel(QString label) { return label.replace(QLatin1Char('_'), QStringLiteral("__")); }

QVariantMap only(const QVariantMap& properties, const QStringList& names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap kept;
    for (const QString& name : names)
        if (properties.contains(name))
            kept.insert(name, properties.value(name));
    return kept;
}

} // namespace

DBusMenu::DBusMenu(QObject* parent) : QObject(parent) { registerDBusMenuTypes(); }

void DBusMenu::setItems(const QStringList& labels)
{
    if (labels == m_labels)
        return;
    m_labels = labels;
    ++m_revision;
    Q_EMIT LayoutUpdated(m_revision, 0);
}

QVariantMap DBusMenu::propertiesOf(int id, const QStringList& names) const
{
    QVariantMap properties;
    if (id == 0) {
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else {
        properties.insert(QStringLiteral("label"), escapedLabel(m_labels.at(id - 1)));
        properties.insert(QStringLiteral("enabled"), true);
        properties.insert(QStringLiteral("visible"), true);
    }
    return only(properties, names);
}

void DBusMenu::refuseId(int id)
{
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("the menu has no item %1").arg(id));
}

uint DBusMenu::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames, DBusMenuLayout& layout)
{
    if (!hasItem(parentId)) {
        refuseId(parentId);
        return m_revision;
    }
    layout = {parentId, propertiesOf(parentId, propertyNames), {}};
    // Only the root has children, none of which has any: depth -1 (all)
    // and any positive depth give the same.
    if (parentId == 0 && recursionDepth != 0)
        for (int id = 1; id <= m_labels.size(); ++id)
            layout.children.append({id, propertiesOf(id, propertyNames), {}});
    return m_revision;
}

DBusMenuItemPropertiesList DBusMenu::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames)
{
    // No ids: every item. Ids the menu does not have are left out.
    QList<int> wanted = ids;
    if (wanted.isEmpty())
        for (int id = 0; id <= m_labels.size(); ++id)
            wanted.append(id);
    DBusMenuItemPropertiesList found;
    for (int id : wanted)
        if (hasItem(id))
            found.append({id, propertiesOf(id, propertyNames)});
    return found;
}

QDBusVariant DBusMenu::GetProperty(int id, const QString& name)
{
    if (!hasItem(id)) {
        refuseId(id);
        return {};
    }
    const QVariantMap properties = propertiesOf(id, {name});
    if (!properties.contains(name) && calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("menu item %1 has no property %2").arg(id).arg(name));
    return QDBusVariant(properties.value(name));
}

bool DBusMenu::handleEvent(int id, const QString& eventId)
{
    if (!hasItem(id))
        return false;
    // Queued: the tray's call is answered before the choice runs (it may
    // end the program, and take this menu off the bus).
    if (eventId == QLatin1String("clicked") && id > 0)
        QTimer::singleShot(0, this, [this, index = id - 1] { Q_EMIT itemClicked(index); });
    return true;
}

void DBusMenu::Event(int id, const QString& eventId, const QDBusVariant&, uint)
{
    if (!handleEvent(id, eventId))
        refuseId(id);
}

QList<int> DBusMenu::EventGroup(const DBusMenuEventList& events)
{
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events)
        if (!handleEvent(event.id, event.eventId))
            idErrors.append(event.id);
    if (!events.isEmpty() && idErrors.size() == events.size())
        refuseId(idErrors.first());
    return idErrors;
}

bool DBusMenu::AboutToShow(int id)
{
    // The items never change while the program runs: nothing to update.
    if (!hasItem(id))
        refuseId(id);
    return false;
}

QList<int> DBusMenu::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors)
{
    for (int id : ids)
        if (!hasItem(id))
            idErrors.append(id);
    if (!ids.isEmpty() && idErrors.size() == ids.size())
        refuseId(idErrors.first());
    return {};
}

void registerDBusMenuTypes()
{
    static const bool done = [] {
        qDBusRegisterMetaType<DBusMenuLayout>();
        qDBusRegisterMetaType<DBusMenuItemProperties>();
        qDBusRegisterMetaType<DBusMenuItemPropertiesList>();
        qDBusRegisterMetaType<DBusMenuItemPropertyNames>();
        qDBusRegisterMetaType<DBusMenuItemPropertyNamesList>();
        qDBusRegisterMetaType<DBusMenuEvent>();
        qDBusRegisterMetaType<DBusMenuEventList>();
        qDBusRegisterMetaType<QList<int>>();
        return true;
    }();
    (void)done;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuLayout& layout)
{
    out.beginStructure();
    out << layout.id << layout.properties;
    out.beginArray(qMetaTypeId<QDBusVariant>());
    for (const DBusMenuLayout& child : layout.children)
        out << QDBusVariant(QVariant::fromValue(child));
    out.endArray();
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuLayout& layout)
{
    in.beginStructure();
    in >> layout.id >> layout.properties;
    layout.children.clear();
    in.beginArray();
    while (!in.atEnd()) {
        QDBusVariant child;
        in >> child;
        DBusMenuLayout childLayout;
        child.variant().value<QDBusArgument>() >> childLayout;
        layout.children.append(childLayout);
    }
    in.endArray();
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuItemProperties& item)
{
    out.beginStructure();
    out << item.id << item.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuItemProperties& item)
{
    in.beginStructure();
    in >> item.id >> item.properties;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuItemPropertyNames& item)
{
    out.beginStructure();
    out << item.id << item.names;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuItemPropertyNames& item)
{
    in.beginStructure();
    in >> item.id >> item.names;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuEvent& event)
{
    out.beginStructure();
    out << event.id << event.eventId << event.data << event.timestamp;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuEvent& event)
{
    in.beginStructure();
    in >> event.id >> event.eventId >> event.data >> event.timestamp;
    in.endStructure();
    return in;
}

} // namespace tindora::qt
