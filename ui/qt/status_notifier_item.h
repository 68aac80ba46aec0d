#pragma once
// The program's icon as a StatusNotifierItem over the session bus, the tray
// of KDE Plasma, of GNOME with the AppIndicator extension, of waybar and
// most Wayland panels. Qt's own QSystemTrayIcon asks once per process
// whether such a tray exists and keeps the answer, so a tray that comes up
// after the program (a panel that starts late at login) or restarts would
// never get the icon: this item follows the tray's watcher instead, and
// registers again each time one appears. It also follows whether the watcher
// keeps it: a watcher may take the registration and drop the item a moment
// later (GNOME's AppIndicator extension drops an item without a menu).

#include "dbus_menu.h"

#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>

namespace tindora::qt {

class StatusNotifierItemAdaptor;

class StatusNotifierItem : public QObject {
    Q_OBJECT

public:
    StatusNotifierItem(QDBusConnection bus, const QIcon& icon);
    ~StatusNotifierItem() override;

    // True while a watcher runs with a tray (host) that shows its items,
    // and that watcher has not dropped this item.
    bool trayAvailable() const { return m_watcherUp && m_hostUp && !m_refused; }
    // False until the bus has told whether a watcher runs: until then a tray
    // of another kind waits (see QtTrayIcon::bestRoute).
    bool trayKnown() const { return m_known; }
    // Puts the item on the bus and with the watcher, or takes it away.
    void setVisible(bool visible);
    // True once the watcher lists the item it was given, so that the tray
    // shows it; false again when the item leaves the bus or is dropped.
    bool isTaken() const { return m_taken; }
    void setToolTip(const QString& tip);
    // The labels of the menu the tray shows for the item.
    void setMenuItems(const QStringList& labels) { m_menu.setItems(labels); }

    // For the adaptor.
    QString toolTip() const { return m_tip; }
    const QIcon& icon() const { return m_icon; }

Q_SIGNALS:
    // The tray appeared or went away, or began or ceased to list the item
    // (trayKnown(), trayAvailable() or isTaken() changed).
    void trayChanged();
    // The user's clicks, as the tray reports them.
    void activated();
    void contextMenuRequested();
    // The user chose the item at `index` of setMenuItems() in the tray's
    // menu.
    void menuItemChosen(int index);

private Q_SLOTS:
    void watcherOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void hostRegistered();
    void hostUnregistered();
    void itemUnregistered(const QString& id);

private:
    void askWatcher();
    void registerWithWatcher();
    // Asks the watcher whether it lists the item.
    void checkListed();
    // `again`: a tray announced itself, so an item dropped before tries
    // again.
    void setAvailability(bool watcherUp, bool hostUp, bool again = false);
    // Runs `change`, then emits trayChanged() if it changed what it tells.
    void update(const std::function<void()>& change);
    // The watcher refused or dropped the item: no tray here until another
    // watcher or host comes, or until the one retry a moment later.
    void refuse(const QString& why);
    // Whether a watcher's name for an item means this one.
    bool isOurs(const QString& id) const;

    QDBusConnection m_bus;
    QIcon m_icon;
    QString m_tip;
    QString m_serviceName;
    StatusNotifierItemAdaptor* m_adaptor = nullptr;
    DBusMenu m_menu;
    bool m_known = false;
    bool m_watcherUp = false;
    bool m_hostUp = false;
    bool m_refused = false;
    bool m_retried = false; // since this watcher came or a host announced itself
    bool m_taken = false;
    bool m_onBus = false;
    int m_generation = 0;   // which watcher a pending answer belongs to
    int m_registration = 0; // which registration a pending answer belongs to
};

} // namespace tindora::qt
