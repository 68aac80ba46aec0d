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
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>

namespace tindora::qt {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
constexpr int kRetryDelayMs = 2000;

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
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

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
    // The left click is the item's own (show or hide the window), the menu
    // is for the right click. Trays that ignore Menu ask for ours through
    // ContextMenu.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(kMenuPath); }

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
    if (!m_bus.isConnected()) {
        m_known = true;
        return;
    }
    m_adaptor = new StatusNotifierItemAdaptor(this);
    auto* watcher = new QDBusServiceWatcher(kWatcherService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &StatusNotifierItem::watcherOwnerChanged);
    m_bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QStringLiteral("StatusNotifierHostRegistered"),
                  this, SLOT(hostRegistered()));
    m_bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QStringLiteral("StatusNotifierHostUnregistered"),
                  this, SLOT(hostUnregistered()));
    m_bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QStringLiteral("StatusNotifierItemUnregistered"),
                  this, SLOT(itemUnregistered(QString)));
    connect(&m_menu, &DBusMenu::itemClicked, this, &StatusNotifierItem::menuItemChosen);
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

// A tray that comes, or comes again, may show an item the watcher dropped
// before: try again.
void StatusNotifierItem::hostRegistered() { setAvailability(true, true, true); }

void StatusNotifierItem::hostUnregistered() { askWatcher(); }

void StatusNotifierItem::update(const std::function<void()>& change)
{
    const bool known = m_known;
    const bool available = trayAvailable();
    const bool taken = m_taken;
    change();
    if (m_known != known || trayAvailable() != available || m_taken != taken)
        Q_EMIT trayChanged();
}

void StatusNotifierItem::setAvailability(bool watcherUp, bool hostUp, bool again)
{
    update([&] {
        m_known = true;
        const bool newWatcher = watcherUp && !m_watcherUp;
        const bool retry = newWatcher || (again && m_refused);
        m_watcherUp = watcherUp;
        m_hostUp = hostUp;
        // A new watcher knows nothing of us, nor of what the last one
        // dropped; a watcher that went took our registration with it.
        if (newWatcher || !watcherUp) {
            m_taken = false;
            ++m_registration;
        }
        if (newWatcher || !watcherUp || again) {
            m_refused = false;
            m_retried = false;
        }
        // Before trayChanged(): an item that its receiver puts on the bus
        // then registers by itself (setVisible), and only once.
        if (retry && m_onBus)
            registerWithWatcher();
    });
}

void StatusNotifierItem::setVisible(bool visible)
{
    if (!m_bus.isConnected() || visible == m_onBus)
        return;
    // Answers about the registration before this change no longer count.
    ++m_registration;
    if (!visible) {
        // The watcher drops the item when its name leaves the bus. The
        // caller changed the route itself: no trayChanged().
        m_bus.unregisterService(m_serviceName);
        m_bus.unregisterObject(kItemPath);
        m_bus.unregisterObject(kMenuPath);
        m_onBus = false;
        m_taken = false;
        return;
    }
    if (!m_bus.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors) ||
        !m_bus.registerObject(kMenuPath, &m_menu, QDBusConnection::ExportScriptableContents) ||
        !m_bus.registerService(m_serviceName)) {
        std::fprintf(stderr, "tindora: cannot put the tray icon on the session bus: %s\n",
                     qPrintable(m_bus.lastError().message()));
        m_bus.unregisterObject(kItemPath);
        m_bus.unregisterObject(kMenuPath);
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
    // By the item's path, which the watcher takes with our unique name, not
    // by the service's name: GNOME's AppIndicator extension then also
    // watches that name, and when the watch's first answer comes after the
    // item's properties it wipes them and fails to read them again
    // ("Argument two may not be null" in its log), dropping the item now and
    // then. Plasma's and waybar's watchers take a path too.
    call << kItemPath;
    const int registration = ++m_registration;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, registration](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        if (registration != m_registration)
            return;
        if (done->isError())
            refuse(done->error().message());
        else
            checkListed();
    });
}

void StatusNotifierItem::checkListed()
{
    // A watcher may answer the registration and then drop the item, or
    // never list it: only its list tells whether a tray shows the item.
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setAutoStartService(false);
    get << kWatcherInterface << QStringLiteral("RegisteredStatusNotifierItems");
    const int registration = m_registration;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, registration](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        if (registration != m_registration || !m_onBus)
            return;
        const QDBusPendingReply<QDBusVariant> reply = *done;
        // A watcher that cannot tell its list took the registration: trust it.
        bool listed = reply.isError();
        if (!listed)
            for (const QString& id : qdbus_cast<QStringList>(reply.value().variant()))
                listed = listed || isOurs(id);
        if (listed)
            update([this] { m_taken = true; });
        else
            refuse(QStringLiteral("the watcher does not list it"));
    });
}

void StatusNotifierItem::itemUnregistered(const QString& id)
{
    // Also sent for our own earlier registration when the item left the
    // bus and came back: the list decides.
    if (m_onBus && isOurs(id))
        checkListed();
}

bool StatusNotifierItem::isOurs(const QString& id) const
{
    // Watchers name an item by its service alone (GNOME's extension), by
    // service and path (Plasma, waybar), or by unique name, "@" and path.
    static const QRegularExpression pathStart(QStringLiteral("[/@]"));
    const QString name = id.left(id.indexOf(pathStart));
    return name == m_serviceName || name == m_bus.baseService();
}

void StatusNotifierItem::refuse(const QString& why)
{
    std::fprintf(stderr, "tindora: the tray did not take the icon: %s\n", qPrintable(why));
    update([this] {
        m_refused = true;
        m_taken = false;
    });
    // GNOME's AppIndicator extension now and then drops an item that it
    // shows at the next attempt (a race in its own setup): once more, a
    // moment later. Only once, so that a watcher that always drops the item
    // is not asked forever.
    if (m_retried)
        return;
    m_retried = true;
    QTimer::singleShot(kRetryDelayMs, this, [this, generation = m_generation] {
        if (generation != m_generation || !m_refused)
            return;
        update([this] {
            m_refused = false;
            // As in setAvailability(): an item off the bus registers when
            // its receiver puts it back.
            if (m_onBus && m_watcherUp)
                registerWithWatcher();
        });
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
