#pragma once
// Whether an X11 system tray (the XEmbed kind: trayer, stalonetray, the
// panels of older desktops) runs on the display: the owner of the
// _NET_SYSTEM_TRAY_S<screen> selection, followed as trays come and go.
// Qt's QSystemTrayIcon docks only into a tray that is there when the icon is
// shown; the tray icon shows it again each time one appears.

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>

struct xcb_connection_t;

namespace tindora::qt {

class XEmbedTrayWatcher : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // Watches nothing, and never reports a tray, off X11.
    XEmbedTrayWatcher();
    ~XEmbedTrayWatcher() override;

    bool trayAvailable() const { return m_owner != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

Q_SIGNALS:
    void trayAvailabilityChanged();

private:
    // Reads the selection's owner and watches it for its end.
    void findOwner();

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_selection = 0;
    std::uint32_t m_manager = 0;
    std::uint32_t m_owner = 0;
};

} // namespace tindora::qt
