#include "status_notifier_item.h"

#include "dbus_image.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>

#include <cstdio>

namespace tindora::qt {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");

} // namespace

// What the tray reads and calls, under the interface name trays look for.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(tindora::qt::DBusPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(tindora::qt::DBusToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item) : QDBusAbstractAdaptor(item), m_item(item)
    {
        // Sizes trays commonly draw, so that none has to scale much.
        for (int size : {16, 22, 32, 48})
            m_pixmaps.append(DBusPixmap::fromImage(item->icon().pixmap(size).toImage().scaled(size, size)));
    }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("tindora"); }
    QString title() const { return QStringLiteral("Tindora"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    // No name: a program run from its build folder has no installed icon,
    // so the tray draws the pixmaps.
    QString iconName() const { return {}; }
    DBusPixmapList iconPixmap() const { return m_pixmaps; }
    DBusToolTip toolTip() const { return {QString(), {}, m_item->toolTip(), QString()}; }
    // The left click is the item's own (show or hide the window); with no
    // exported menu the tray asks for ours through ContextMenu.
    bool itemIsMenu() const { return false; }

public Q_SLOTS:
    // Queued: the tray's call is answered before the window or menu reacts
    // (the menu waits for the user in a loop of its own).
    void Activate(int, int) { QTimer::singleShot(0, m_item, &StatusNotifierItem::activated); }
    void ContextMenu(int, int) { QTimer::singleShot(0, m_item, &StatusNotifierItem::contextMenuRequested); }
    void SecondaryActivate(int, int) {}
    void Scroll(int, const QString&) {}

Q_SIGNALS:
    void NewToolTip();

private:
    StatusNotifierItem* m_item;
    DBusPixmapList m_pixmaps;
};

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, const QIcon& icon)
    : m_bus(std::move(bus)), m_icon(icon),
      m_serviceName(QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid()))
{
    registerDBusImageTypes();
    if (!m_bus.isConnected())
        return;
    m_adaptor = new StatusNotifierItemAdaptor(this);
    auto* watcher = new QDBusServiceWatcher(kWatcherService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &StatusNotifierItem::watcherOwnerChanged);
    m_bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QStringLiteral("StatusNotifierHostRegistered"),
                  this, SLOT(hostRegistered()));
    m_bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QStringLiteral("StatusNotifierHostUnregistered"),
                  this, SLOT(hostUnregistered()));
    askWatcher();
}

StatusNotifierItem::~StatusNotifierItem() { setVisible(false); }

void StatusNotifierItem::askWatcher()
{
    // Whether a watcher runs, and whether a tray has told it that it shows
    // items: asked without waiting, answered on the event loop.
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setAutoStartService(false);
    get << kWatcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    const int generation = ++m_generation;
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, generation](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        if (generation != m_generation)
            return;
        const QDBusPendingReply<QDBusVariant> reply = *done;
        if (reply.isError())
            setAvailability(false, false);
        else
            setAvailability(true, reply.value().variant().toBool());
    });
}

void StatusNotifierItem::watcherOwnerChanged(const QString&, const QString&, const QString& newOwner)
{
    if (newOwner.isEmpty()) {
        ++m_generation;
        setAvailability(false, false);
    } else {
        askWatcher();
    }
}

void StatusNotifierItem::hostRegistered() { setAvailability(true, true); }

void StatusNotifierItem::hostUnregistered() { askWatcher(); }

void StatusNotifierItem::setAvailability(bool watcherUp, bool hostUp)
{
    const bool before = trayAvailable();
    const bool newWatcher = watcherUp && !m_watcherUp;
    m_watcherUp = watcherUp;
    m_hostUp = hostUp;
    // A new watcher knows nothing of us: register again.
    if (newWatcher && m_onBus)
        registerWithWatcher();
    if (trayAvailable() != before)
        Q_EMIT trayAvailabilityChanged();
}

void StatusNotifierItem::setVisible(bool visible)
{
    m_visible = visible;
    if (!m_bus.isConnected() || visible == m_onBus)
        return;
    if (!visible) {
        // The watcher drops the item when its name leaves the bus.
        m_bus.unregisterService(m_serviceName);
        m_bus.unregisterObject(kItemPath);
        m_onBus = false;
        return;
    }
    if (!m_bus.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors) ||
        !m_bus.registerService(m_serviceName)) {
        std::fprintf(stderr, "tindora: cannot put the tray icon on the session bus: %s\n",
                     qPrintable(m_bus.lastError().message()));
        m_bus.unregisterObject(kItemPath);
        return;
    }
    m_onBus = true;
    if (m_watcherUp)
        registerWithWatcher();
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kWatcherInterface,
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call.setAutoStartService(false);
    call << m_serviceName;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        if (done->isError())
            std::fprintf(stderr, "tindora: the tray did not take the icon: %s\n", qPrintable(done->error().message()));
    });
}

void StatusNotifierItem::setToolTip(const QString& tip)
{
    if (tip == m_tip)
        return;
    m_tip = tip;
    if (m_adaptor && m_onBus)
        Q_EMIT m_adaptor->NewToolTip();
}

} // namespace tindora::qt

#include "status_notifier_item.moc"
