#pragma once
// The forms runtime on Win32: the local clock, the user's time format,
// message boxes through the W API, the alert clip played from memory and the
// one single-shot wake-up timer.

#include "forms_runtime.h"

#include <cstdint>
#include <functional>
#include <span>

#include <windows.h>

namespace tindora::win32 {

// The local wall clock and its offset from UTC, read at one instant.
struct ClockReading {
    LocalMillis local = 0;
    // How far local time is ahead of UTC then.
    std::int64_t utcOffset = 0;
};

// One read of the system clock (GetSystemTimeAsFileTime), in local time
// through the zone in force now, and the offset that conversion applied.
ClockReading readSystemClock();
// Local wall-clock time: readSystemClock().local.
LocalMillis localNow();

// A box's style as MessageBoxW takes it: 4160 for a system-modal box with the
// information icon, 4144 with the exclamation icon, 64 for About.
UINT messageBoxFlags(const BoxStyle& style);

class Win32Runtime : public FormsRuntime {
public:
    using ClockSource = std::function<ClockReading()>;
    using MonotonicSource = std::function<std::int64_t()>;
    static constexpr UINT_PTR kWakeUpTimerId = 1;

    // GetTickCount64: milliseconds since boot, sleep included.
    static std::int64_t tickCount() { return static_cast<std::int64_t>(GetTickCount64()); }

    // The program's clock seam: tests put a settable wall clock (with its
    // offset from UTC) and monotonic clock here, to set the clock by hand,
    // change the time zone or sleep.
    explicit Win32Runtime(ClockSource clock = readSystemClock, MonotonicSource monotonic = tickCount)
        : m_clock(std::move(clock)), m_monotonic(std::move(monotonic))
    {
    }

    // The window that owns the wake-up timer and the app-modal boxes.
    void setWindow(HWND window) { m_window = window; }
    // The WAV file bytes; they must outlive every play.
    void setAlertClip(std::span<const std::uint8_t> wav) { m_clip = wav; }

    // What End does in place of ending the process (tests).
    void setEndAction(std::function<void()> action) { m_endAction = std::move(action); }

    // The window's WM_TIMER: true when it was the wake-up.
    bool handleTimer(UINT_PTR id);

    LocalMillis now() override;
    // The offset of the instant now() read last, so that the two describe one
    // instant even when the zone changes between the calls (the tick driver
    // reads now() first); before any now(), a reading of its own.
    std::int64_t utcOffsetMillis() override;
    void tellWhileEnding(std::string_view text) override;
    std::int64_t monotonicMillis() override { return m_monotonic(); }
    std::string formatTimeOfDay(TimeOfDay time) override;
    BoxAnswer messageBox(std::string_view text, BoxStyle style, std::string_view title) override;
    void playAlertClip() override;
    std::optional<std::string> armWakeUp(LocalMillis at) override;
    void endProgram() override;
    void quitAfterUnload() override;

private:
    ClockSource m_clock;
    MonotonicSource m_monotonic;
    std::optional<ClockReading> m_lastReading;
    HWND m_window = nullptr;
    std::span<const std::uint8_t> m_clip;
    std::function<void()> m_endAction;
};

} // namespace tindora::win32
