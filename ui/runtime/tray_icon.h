#pragma once
// The program's icon in the notification area, as a backend provides it: shown
// with a tip, the tip changed, removed. The backend reports what the user did
// to the icon as plain events; what they do to the window is the tray
// module's business.

#include <string_view>

namespace tindora {

enum class IconEvent {
    LeftReleased,   // the left button went up over the icon
    RightReleased,  // the right button went up over the icon
    DoubleClicked,  // a double click with the left button
    ShellRestarted, // the notification area came back empty (Explorer restarted), or came at last
    TrayGone,       // the notification area went away with the icon (a panel that ended)
};

class IconEventListener {
public:
    // True when the event was dealt with in full, so that the platform takes
    // no further action of its own on it.
    virtual bool iconEvent(IconEvent event) = 0;

protected:
    ~IconEventListener() = default;
};

// Failure contract: no call throws or ends the program. show() and setTip()
// say whether the notification area took the icon; a desktop without one is
// not a fault, and the program then runs on without an icon.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;

    // Puts the window's icon into the notification area, with `tip` as its
    // tooltip unless it is empty. Called again after ShellRestarted.
    virtual bool show(std::string_view tip) = 0;
    // Changes the tooltip of the shown icon.
    virtual bool setTip(std::string_view tip) = 0;
    // Takes the icon away; after this no event is reported.
    virtual void remove() = 0;
    virtual bool isShown() const = 0;

    // Who hears the icon's events (the tray module); nullptr for nobody.
    void setListener(IconEventListener* listener) { m_listener = listener; }

protected:
    // For backends: hands an event to the listener; false when nobody took it.
    bool report(IconEvent event) { return m_listener && m_listener->iconEvent(event); }

private:
    IconEventListener* m_listener = nullptr;
};

} // namespace tindora
