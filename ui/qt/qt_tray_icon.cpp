#include "qt_tray_icon.h"

#include <QDBusConnection>

namespace tindora::qt {
namespace {

QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

} // namespace

QtTrayIcon::QtTrayIcon(const QIcon& icon) : m_icon(icon), m_item(QDBusConnection::sessionBus(), icon)
{
    // Queued, as Windows posts the shell's callback: the click's own mouse
    // event ends first, so a popup menu opened for it starts with the button
    // released.
    QObject::connect(
        &m_icon, &QSystemTrayIcon::activated, &m_icon,
        [this](QSystemTrayIcon::ActivationReason reason) { reportActivation(reason); }, Qt::QueuedConnection);
    QObject::connect(&m_item, &StatusNotifierItem::activated, &m_icon,
                     [this] { reportActivation(QSystemTrayIcon::Trigger); });
    QObject::connect(&m_item, &StatusNotifierItem::contextMenuRequested, &m_icon,
                     [this] { reportActivation(QSystemTrayIcon::Context); });
    QObject::connect(&m_item, &StatusNotifierItem::menuItemChosen, &m_icon,
                     [this](int index) { menuItemChosen(index); });
    QObject::connect(&m_item, &StatusNotifierItem::trayChanged, &m_icon, [this] { follow(); });
    QObject::connect(&m_xembed, &XEmbedTrayWatcher::trayAvailabilityChanged, &m_icon, [this] { follow(); });
}

QtTrayIcon::~QtTrayIcon() { place(Route::None); }

void QtTrayIcon::reportActivation(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        report(IconEvent::LeftReleased);
        break;
    case QSystemTrayIcon::DoubleClick:
        // Qt reports a quick second click as a double click only; Windows
        // reports the double click and then that click's release, which
        // shows or hides the window again.
        report(IconEvent::DoubleClicked);
        report(IconEvent::LeftReleased);
        break;
    case QSystemTrayIcon::Context:
        report(IconEvent::RightReleased);
        break;
    default:
        break;
    }
}

void QtTrayIcon::setMenu(Menu& menu)
{
    m_menu = &menu;
    QStringList labels;
    for (const MenuItem* item : menu.items())
        labels.append(QString::fromStdString(item->Caption()));
    m_item.setMenuItems(labels);
}

void QtTrayIcon::menuItemChosen(int index)
{
    // As FormWindow::PopupMenu runs the item chosen in the popup menu.
    if (!m_wanted || !m_menu || index < 0 || index >= static_cast<int>(m_menu->items().size()))
        return;
    m_menu->items()[static_cast<std::size_t>(index)]->userChose();
}

bool QtTrayIcon::isShown() const
{
    if (!m_wanted)
        return false;
    return m_route == Route::XEmbed || (m_route == Route::StatusNotifier && m_item.isTaken());
}

QtTrayIcon::Route QtTrayIcon::bestRoute() const
{
    // A StatusNotifierItem tray first: on Plasma the X11 tray is only a
    // bridge into it, and GNOME's AppIndicator extension offers both. So the
    // X11 tray waits for the bus's first answer: shown there, Qt's icon
    // would be a StatusNotifierItem of Qt's own wherever Qt saw a watcher
    // when the program started, beside ours.
    if (!m_item.trayKnown())
        return Route::None;
    if (m_item.trayAvailable())
        return Route::StatusNotifier;
    if (m_xembed.trayAvailable())
        return Route::XEmbed;
    return Route::None;
}

void QtTrayIcon::place(Route route)
{
    if (route == m_route)
        return;
    if (m_route == Route::StatusNotifier)
        m_item.setVisible(false);
    if (m_route == Route::XEmbed)
        m_icon.hide();
    m_route = route;
    if (m_route == Route::StatusNotifier)
        m_item.setVisible(true);
    if (m_route == Route::XEmbed) {
        // Docks into the tray that is there now (a hide first, so that Qt
        // lets go of a tray that went away).
        m_icon.hide();
        m_icon.show();
    }
}

void QtTrayIcon::follow()
{
    if (!m_wanted)
        return;
    const Route best = bestRoute();
    // The X11 tray restarted: dock again.
    if (best == Route::XEmbed && m_route == Route::XEmbed) {
        m_icon.hide();
        m_icon.show();
    }
    place(best);
    const bool had = m_shown;
    m_shown = isShown();
    if (had && !m_shown)
        report(IconEvent::TrayGone);
    else if (!had && m_shown)
        report(IconEvent::ShellRestarted);
}

bool QtTrayIcon::show(std::string_view tip)
{
    if (!tip.empty())
        setTip(tip);
    m_wanted = true;
    place(bestRoute());
    m_shown = isShown();
    return m_shown;
}

bool QtTrayIcon::setTip(std::string_view tip)
{
    m_icon.setToolTip(qs(tip));
    m_item.setToolTip(qs(tip));
    return isShown();
}

void QtTrayIcon::remove()
{
    m_wanted = false;
    m_shown = false;
    place(Route::None);
}

} // namespace tindora::qt
