#pragma once
// The program's tray icon on Qt: a QSystemTrayIcon whose clicks reach the
// tray module as plain icon events.

#include "tray_icon.h"

#include <QIcon>
#include <QSystemTrayIcon>

namespace tindora::qt {

class QtTrayIcon : public TrayIcon {
public:
    explicit QtTrayIcon(const QIcon& icon);

    // False where the desktop has no notification area, so that the window
    // stays reachable (minimized) instead of going to the tray. The tip is
    // set all the same: it is there once a tray appears.
    bool show(std::string_view tip) override;
    bool setTip(std::string_view tip) override;
    void remove() override;
    bool isShown() const override { return m_icon.isVisible(); }

    QSystemTrayIcon& icon() { return m_icon; }

private:
    QSystemTrayIcon m_icon;
};

} // namespace tindora::qt
