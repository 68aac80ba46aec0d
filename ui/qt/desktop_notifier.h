#pragma once
// Every announcement also goes to the desktop's notification list
// (org.freedesktop.Notifications on the session bus), where a reminder stays
// until the user has seen it, also on the lock screen and on desktops that
// cannot keep the box above other windows. The box stays the program's own
// announcement: a notification only mirrors it.
//
// Failure contract: nothing here waits on the bus. Every call is
// asynchronous; no server, a server that fails or one that answers late
// leaves the box alone, and the first such fault is said in one line on
// standard error, later ones not at all.

#include "forms_runtime.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <map>

class QDBusPendingCallWatcher;

namespace tindora::qt {

class DesktopNotifier : public QObject {
    Q_OBJECT

public:
    static constexpr int kNoTicket = 0;

    // `icon` goes along as the notification's image, for servers that cannot
    // find the installed icon "tindora" by name (a program run from its build
    // folder). A null image sends none.
    DesktopNotifier(QDBusConnection bus, QImage icon);
    ~DesktopNotifier() override;

    // Posts the box's title and text; returns a ticket for withdraw(), or
    // kNoTicket when the box announces nothing.
    int post(Announces announces, const QString& title, const QString& text);
    // The box was closed: the notification goes too (once the server has
    // named it, if it has not yet). A ticket the server already closed, or
    // kNoTicket, is ignored.
    void withdraw(int ticket);

    // Who hears that the user chose the notification's default action: the
    // ticket, and the activation token the server sent with it (empty when
    // it sent none).
    void onActivated(std::function<void(int ticket, const QString& token)> handler)
    {
        m_activated = std::move(handler);
    }

    // Tickets whose notification the server still shows, as far as known.
    std::size_t openCount() const { return m_tickets.size(); }

private:
    struct Ticket {
        uint serverId = 0;      // 0 until the server answers Notify
        bool withdrawn = false; // the box closed before the server answered
    };

    void notifyAnswered(int ticket, QDBusPendingCallWatcher* call);
    void closeOnServer(uint serverId);
    void complainOnce(const QString& what);
    int ticketOf(uint serverId) const;

    // Q_SLOTS, for QDBusConnection::connect.
private Q_SLOTS:
    void serverClosed(uint id, uint reason);
    void serverActionInvoked(uint id, const QString& action);
    void serverActivationToken(uint id, const QString& token);

private:
    QDBusConnection m_bus;
    QImage m_icon;
    int m_nextTicket = 1;
    std::map<int, Ticket> m_tickets;
    std::map<uint, QString> m_tokens;
    std::function<void(int, const QString&)> m_activated;
    bool m_complained = false;
};

} // namespace tindora::qt
