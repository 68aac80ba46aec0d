#include "desktop_notifier.h"

#include "dbus_image.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <cstdio>

namespace tindora::qt {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");

// Urgency levels of the notification protocol.
constexpr uchar kNormalUrgency = 1;
constexpr uchar kCriticalUrgency = 2;

// A reminder stays until the user has seen it; the hourly chime may expire
// as the server likes (-1), like any other passing news.
constexpr int kNeverExpires = 0;
constexpr int kServerDefault = -1;

} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QImage icon) : m_bus(std::move(bus)), m_icon(std::move(icon))
{
    registerDBusImageTypes();
    if (!m_bus.isConnected())
        return;
    // Signals from whichever process owns the name now or later: a server
    // that restarts still reaches us.
    m_bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(serverClosed(uint, uint)));
    m_bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(serverActionInvoked(uint, QString)));
    m_bus.connect(QString(), kPath, kInterface, QStringLiteral("ActivationToken"), this,
                  SLOT(serverActivationToken(uint, QString)));
}

DesktopNotifier::~DesktopNotifier() = default;

int DesktopNotifier::post(Announces announces, const QString& title, const QString& text)
{
    if (announces == Announces::Nothing)
        return kNoTicket;
    if (!m_bus.isConnected()) {
        complainOnce(QStringLiteral("no session bus"));
        return kNoTicket;
    }
    const bool reminder = announces == Announces::Reminder;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tindora"));
    // The program plays its own chime with the box.
    hints.insert(QStringLiteral("suppress-sound"), true);
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(reminder ? kCriticalUrgency : kNormalUrgency));
    if (!m_icon.isNull())
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(DBusImage::fromImage(m_icon)));

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // Never start a server for this: no server is one of the cases we live with.
    call.setAutoStartService(false);
    call << QStringLiteral("Tindora") << uint{0} << QStringLiteral("tindora") << title << text
         << QStringList{kDefaultAction, QStringLiteral("查看")} << hints << (reminder ? kNeverExpires : kServerDefault);

    const int ticket = m_nextTicket++;
    m_tickets[ticket] = Ticket{};
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, ticket](QDBusPendingCallWatcher* done) { notifyAnswered(ticket, done); });
    return ticket;
}

void DesktopNotifier::notifyAnswered(int ticket, QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusPendingReply<uint> reply = *call;
    const auto it = m_tickets.find(ticket);
    if (it == m_tickets.end())
        return;
    if (reply.isError()) {
        m_tickets.erase(it);
        complainOnce(reply.error().name() + QStringLiteral(": ") + reply.error().message());
        return;
    }
    const uint serverId = reply.value();
    if (it->second.withdrawn) {
        // The box was closed while the server was still answering.
        m_tickets.erase(it);
        closeOnServer(serverId);
        return;
    }
    it->second.serverId = serverId;
}

void DesktopNotifier::withdraw(int ticket)
{
    const auto it = m_tickets.find(ticket);
    if (it == m_tickets.end())
        return;
    if (it->second.serverId == 0) {
        it->second.withdrawn = true;
        return;
    }
    const uint serverId = it->second.serverId;
    m_tickets.erase(it);
    m_tokens.erase(serverId);
    closeOnServer(serverId);
}

void DesktopNotifier::closeOnServer(uint serverId)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("CloseNotification"));
    call.setAutoStartService(false);
    call << serverId;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        if (done->isError())
            complainOnce(done->error().name() + QStringLiteral(": ") + done->error().message());
    });
}

int DesktopNotifier::ticketOf(uint serverId) const
{
    for (const auto& [ticket, state] : m_tickets)
        if (state.serverId == serverId)
            return ticket;
    return kNoTicket;
}

void DesktopNotifier::serverClosed(uint id, uint /*reason*/)
{
    // Dismissed by the user or expired: the box stays as it is.
    m_tokens.erase(id);
    if (const int ticket = ticketOf(id); ticket != kNoTicket)
        m_tickets.erase(ticket);
}

void DesktopNotifier::serverActivationToken(uint id, const QString& token)
{
    // Sent just before ActionInvoked, for the same notification.
    if (ticketOf(id) != kNoTicket)
        m_tokens[id] = token;
}

void DesktopNotifier::serverActionInvoked(uint id, const QString& action)
{
    const int ticket = ticketOf(id);
    if (ticket == kNoTicket || action != kDefaultAction)
        return;
    const QString token = m_tokens[id];
    m_tokens.erase(id);
    if (m_activated)
        m_activated(ticket, token);
}

void DesktopNotifier::complainOnce(const QString& what)
{
    if (m_complained)
        return;
    m_complained = true;
    std::fprintf(stderr, "tindora: no desktop notification, only the box (%s)\n", qPrintable(what));
}

} // namespace tindora::qt
