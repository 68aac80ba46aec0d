#pragma once
// What the program relies on from its platform beyond the controls: the clock,
// message boxes, the alert sound, the wake-up timer and program end. Each
// backend (in-memory, Win32, Qt) implements it once.
//
// Failure contract: none of these calls throws. A platform fault the program
// can live with (no sound device, a box that cannot be shown) is absorbed by
// the backend, which keeps the program running; the one it cannot live with,
// a wake-up the platform refuses to arm, is returned to the caller.

#include "values.h"

#include <functional>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>

namespace tindora {

// A message box in the program's own terms; each backend maps it onto its
// platform's boxes once.
enum class BoxIcon { Information, Exclamation, Error };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// The moment a box announces, if any. A backend that also posts
// announcements to the desktop's notification list keeps a reminder there
// until the user has seen it, and lets the hourly chime expire.
enum class Announces { Nothing, FullHour, Reminder };

struct BoxStyle {
    BoxIcon icon = BoxIcon::Information;
    BoxButtons buttons = BoxButtons::Ok;
    // Above the windows of every program and owned by none, so that it shows
    // also while the program's window is hidden in the tray.
    bool systemModal = false;
    Announces announces = Announces::Nothing;
    friend bool operator==(const BoxStyle&, const BoxStyle&) = default;
};

class FormsRuntime {
public:
    virtual ~FormsRuntime() = default;

    // The wall clock in local time.
    virtual LocalMillis now() = 0;
    // How far local time is ahead of UTC at the instant now() read last. It
    // changes with daylight saving and when the user picks another time zone,
    // which tells those apart from a clock set by hand.
    virtual std::int64_t utcOffsetMillis() = 0;
    // A monotonic clock in milliseconds from an arbitrary start, which goes on
    // counting while the computer sleeps and never jumps when the wall clock
    // is set (Linux: CLOCK_BOOTTIME; Windows: GetTickCount64). Together with
    // now() it tells sleep apart from a clock set forward.
    virtual std::int64_t monotonicMillis() = 0;
    // A time of day the way the system writes one by default (no date), e.g.
    // "8:30:00" on a Simplified Chinese Windows.
    virtual std::string formatTimeOfDay(TimeOfDay time) = 0;

    // Shows a message box (texts in UTF-8) and returns the button pressed
    // once the user has closed it; a box that cannot be shown answers as its
    // first button would.
    virtual BoxAnswer messageBox(std::string_view text, BoxStyle style, std::string_view title) = 0;

    // Starts the alert clip and returns at once; a request while it sounds
    // starts it again. With no sound device the request is silently dropped.
    virtual void playAlertClip() = 0;

    // Arms the program's one single-shot wake-up for this local instant,
    // replacing any earlier one; an instant already past fires at once. When
    // it fires, the backend calls wakeUpFired(). Returns the platform's
    // reason, in words, when it refused to arm the wake-up.
    virtual std::optional<std::string> armWakeUp(LocalMillis at) = 0;

    // Tells the user why something failed while the session ends or the
    // program was told to stop, when no box may wait for an answer (standard
    // error on Linux, the event log on Windows). Returns at once.
    virtual void tellWhileEnding(std::string_view text) = 0;

    // End: the program ends at once, without unloading its window.
    virtual void endProgram() = 0;
    // The last window was unloaded: the program ends once the running event returns.
    virtual void quitAfterUnload() = 0;

    // Who hears a fired wake-up: the program's tick driver.
    void setWakeUpHandler(std::function<void()> handler) { m_wakeUpHandler = std::move(handler); }
    // For backends: the armed wake-up came.
    void wakeUpFired()
    {
        if (m_wakeUpHandler)
            m_wakeUpHandler();
    }

    // Who hears that the wall clock was set, the time zone changed or the
    // machine woke from sleep: the tick driver, which plans anew.
    void setClockChangedHandler(std::function<void()> handler) { m_clockChangedHandler = std::move(handler); }
    // For backends: the platform said that local time jumped.
    void clockChanged()
    {
        if (m_clockChangedHandler)
            m_clockChangedHandler();
    }

private:
    std::function<void()> m_wakeUpHandler;
    std::function<void()> m_clockChangedHandler;
};

} // namespace tindora
