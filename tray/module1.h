#pragma once
// The tray module: one icon in the notification area with the window's icon
// and a tooltip, and the rules for the user's clicks on it: a left click shows
// or hides the window, a right click pops the tray menu up. How the icon gets
// into the notification area is the backend's TrayIcon.

#include "tray_icon.h"
#include "window.h"

#include <string>
#include <string_view>

namespace tindora::tray {

class Module1 : public IconEventListener {
public:
    explicit Module1(TrayIcon& icon) : m_icon(icon) {}
    ~Module1();
    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    // Shows the icon, without a tip yet; from now on its clicks act on `form`.
    void TrayAdd(FormWindow& form, Menu& menu);
    void TraySetTip(std::string_view tip);
    // Takes the icon away; once it is gone, a second call does nothing.
    void TrayRemove();

    // True while the notification area holds the icon, so that a hidden
    // window can be brought back with it.
    bool iconShown() const { return m_added && m_icon.isShown(); }

    // Left released: show or hide the window, and let the platform go on with
    // the event. Right released: the menu, consumed; a right click while the
    // menu is open opens no second one. The shell restarted: the icon again.
    // The tray went away: a window hidden in it comes back, minimized, so
    // that the user can still reach it.
    bool iconEvent(IconEvent event) override;

private:
    TrayIcon& m_icon;
    FormWindow* TrayForm = nullptr;
    Menu* TrayMenu = nullptr;
    std::string m_tip;
    bool m_added = false;
    bool m_menuOpen = false;
};

} // namespace tindora::tray
