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

// Local wall-clock time from GetLocalTime.
LocalMillis localNow();

// A box's style as MessageBoxW takes it: 4160 for a system-modal box with the
// information icon, 4144 with the exclamation icon, 64 for About.
UINT messageBoxFlags(const BoxStyle& style);

class Win32Runtime : public FormsRuntime {
public:
    using ClockSource = std::function<LocalMillis()>;
    using MonotonicSource = std::function<std::int64_t()>;
    static constexpr UINT_PTR kWakeUpTimerId = 1;

    // GetTickCount64: milliseconds since boot, sleep included.
    static std::int64_t tickCount() { return static_cast<std::int64_t>(GetTickCount64()); }

    // The program's clock seam: tests put a settable wall clock and
    // monotonic clock here (a simulated sleep moves both).
    explicit Win32Runtime(ClockSource clock = localNow, MonotonicSource monotonic = tickCount)
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

    LocalMillis now() override { return m_clock(); }
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
    HWND m_window = nullptr;
    std::span<const std::uint8_t> m_clip;
    std::function<void()> m_endAction;
};

} // namespace tindora::win32
