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

#include <algorithm>
#include <functional>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>

namespace tindora {

// Message box flags and results, as the Windows API numbers them.
namespace mb {
inline constexpr int kOk = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kIconError = 16;
inline constexpr int kIconQuestion = 32;
inline constexpr int kIconExclamation = 48;
inline constexpr int kIconInformation = 64;
inline constexpr int kSystemModal = 4096;
inline constexpr int kButtonsMask = 0x0F;
inline constexpr int kIconMask = 0xF0;

inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
} // namespace mb

class FormsRuntime {
public:
    virtual ~FormsRuntime() = default;

    // The wall clock in local time.
    virtual LocalMillis now() = 0;
    // A monotonic clock in milliseconds from an arbitrary start, which goes on
    // counting while the computer sleeps and never jumps when the wall clock
    // is set (Linux: CLOCK_BOOTTIME; Windows: GetTickCount64). Together with
    // now() it tells sleep apart from a clock set forward.
    virtual std::int64_t monotonicMillis() = 0;
    // A time of day the way the system writes one by default (no date), e.g.
    // "8:30:00" on a Simplified Chinese Windows.
    virtual std::string formatTimeOfDay(TimeOfDay time) = 0;

    // Shows a message box (texts in UTF-8) and returns, with the mb::kId* of the
    // button pressed, once the user has closed it. kSystemModal keeps it above
    // the windows of all programs, also while the program's window is hidden.
    virtual int messageBox(std::string_view text, int flags, std::string_view title) = 0;

    // Starts the alert clip and returns at once; a request while it sounds
    // starts it again. With no sound device the request is silently dropped.
    virtual void playAlertClip() = 0;

    // Arms the program's one single-shot wake-up for this local instant,
    // replacing any earlier one; an instant already past fires at once. When
    // it fires, the backend calls wakeUpFired(). Returns the platform's
    // reason, in words, when it refused to arm the wake-up.
    virtual std::optional<std::string> armWakeUp(LocalMillis at) = 0;

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

    // What End does in place of ending the process (tests of a native backend).
    void setEndHandler(std::function<void()> handler) { m_endHandler = std::move(handler); }

protected:
    // For backends' endProgram(): false when no handler took the end over.
    bool endHandled()
    {
        if (!m_endHandler)
            return false;
        m_endHandler();
        return true;
    }

    // What a native timer is set to for a wake-up at `at`: never negative,
    // and at most a day, which the wake-up after it plans anew.
    static LocalMillis wakeUpDelay(LocalMillis at, LocalMillis now)
    {
        return std::clamp<LocalMillis>(at - now, 0, 24LL * 3600 * 1000);
    }
    // Whether a box belongs to the program's window: a system-modal
    // announcement has no owner, so it shows also while the window is hidden.
    static bool boxHasOwner(int flags, bool windowShown) { return (flags & mb::kSystemModal) == 0 && windowShown; }

private:
    std::function<void()> m_wakeUpHandler;
    std::function<void()> m_clockChangedHandler;
    std::function<void()> m_endHandler;
};

} // namespace tindora
