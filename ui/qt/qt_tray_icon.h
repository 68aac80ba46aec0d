#pragma once
// The program's tray icon on Qt, wherever a tray comes and goes: a
// StatusNotifierItem of our own where a tray's watcher is on the session bus
// (Plasma, GNOME with AppIndicator, waybar), else Qt's QSystemTrayIcon docked
// into an X11 tray. It shows itself when a tray appears after the program or
// restarts, reporting ShellRestarted once the tray has taken the icon, and
// reports TrayGone when the tray goes or drops the icon, so that the tray
// module can bring a hidden window back within reach.

#include "status_notifier_item.h"
#include "controls.h"
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
    // True only while a tray holds the icon: a StatusNotifierItem tray once
    // its watcher lists the item.
    bool isShown() const override;

    // The menu a StatusNotifierItem tray draws itself (the tray module's
    // menu, mnuTray); a choice there runs the item's Click. Other trays ask
    // the tray module for it with a right click.
    void setMenu(Menu& menu);

    // Qt's icon, used in an X11 tray; its activations reach the tray module.
    QSystemTrayIcon& icon() { return m_icon; }

private:
    enum class Route { None, StatusNotifier, XEmbed };

    // Follows the trays that are there now: moves the icon to the best one,
    // and tells the tray module when the program gained or lost its tray.
    void follow();
    Route bestRoute() const;
    void place(Route route);
    void reportActivation(QSystemTrayIcon::ActivationReason reason);
    void menuItemChosen(int index);

    QSystemTrayIcon m_icon;
    StatusNotifierItem m_item;
    XEmbedTrayWatcher m_xembed;
    Route m_route = Route::None;
    Menu* m_menu = nullptr;
    bool m_wanted = false;
    bool m_shown = false; // what the tray module was last told
};

} // namespace tindora::qt
