#pragma once
// The program's icon as a StatusNotifierItem over the session bus, the tray
// of KDE Plasma, of GNOME with the AppIndicator extension, of waybar and
// most Wayland panels. Qt's own QSystemTrayIcon asks once per process
// whether such a tray exists and keeps the answer, so a tray that comes up
// after the program (a panel that starts late at login) or restarts would
// never get the icon: this item follows the tray's watcher instead, and
// registers again each time one appears.

#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QString>

namespace tindora::qt {

class StatusNotifierItemAdaptor;

class StatusNotifierItem : public QObject {
    Q_OBJECT

public:
    StatusNotifierItem(QDBusConnection bus, const QIcon& icon);
    ~StatusNotifierItem() override;

    // True while a watcher runs with a tray (host) that shows its items.
    bool trayAvailable() const { return m_watcherUp && m_hostUp; }
    // Puts the item on the bus and with the watcher, or takes it away.
    void setVisible(bool visible);
    bool isVisible() const { return m_visible; }
    void setToolTip(const QString& tip);

    // For the adaptor.
    QString toolTip() const { return m_tip; }
    const QIcon& icon() const { return m_icon; }

Q_SIGNALS:
    // The tray appeared or went away (trayAvailable() changed).
    void trayAvailabilityChanged();
    // The user's clicks, as the tray reports them.
    void activated();
    void contextMenuRequested();

private Q_SLOTS:
    void watcherOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void hostRegistered();
    void hostUnregistered();

private:
    void askWatcher();
    void registerWithWatcher();
    void setAvailability(bool watcherUp, bool hostUp);

    QDBusConnection m_bus;
    QIcon m_icon;
    QString m_tip;
    QString m_serviceName;
    StatusNotifierItemAdaptor* m_adaptor = nullptr;
    bool m_watcherUp = false;
    bool m_hostUp = false;
    bool m_visible = false;
    bool m_onBus = false;
    int m_generation = 0; // which watcher a pending answer belongs to
};

} // namespace tindora::qt
