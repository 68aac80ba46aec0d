#pragma once
// The program's tray icon on Qt, wherever a tray comes and goes: a
// StatusNotifierItem of our own where a tray's watcher is on the session bus
// (Plasma, GNOME with AppIndicator, waybar), else Qt's QSystemTrayIcon docked
// into an X11 tray. It shows itself when a tray appears after the program or
// restarts, reporting ShellRestarted, and reports TrayGone when the tray
// goes, so that the tray module can bring a hidden window back within reach.

#include "status_notifier_item.h"
#include "tray_icon.h"
#include "xembed_tray_watcher.h"

#include <QIcon>
#include <QSystemTrayIcon>

namespace tindora::qt {

class QtTrayIcon : public TrayIcon {
public:
    explicit QtTrayIcon(const QIcon& icon);
    ~QtTrayIcon() override;

    // False while the desktop has no tray, so that the window stays
    // reachable (minimized) instead of going to the tray. The tip is set all
    // the same: it is there once a tray appears.
    bool show(std::string_view tip) override;
    bool setTip(std::string_view tip) override;
    void remove() override;
    bool isShown() const override { return m_wanted && m_route != Route::None; }

    // Qt's icon, used in an X11 tray; its activations reach the tray module.
    QSystemTrayIcon& icon() { return m_icon; }
    StatusNotifierItem& statusNotifierItem() { return m_item; }

private:
    enum class Route { None, StatusNotifier, XEmbed };

    // Follows the trays that are there now: moves the icon to the best one,
    // and tells the tray module when the program gained or lost its tray.
    void follow();
    Route bestRoute() const;
    void place(Route route);
    void reportActivation(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon m_icon;
    StatusNotifierItem m_item;
    XEmbedTrayWatcher m_xembed;
    Route m_route = Route::None;
    bool m_wanted = false;
};

} // namespace tindora::qt
