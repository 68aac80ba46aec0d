#pragma once
// What the program relies on from its platform beyond the controls: the clock,
// message boxes, the alert sound, the wake-up timer and program end. Each
// backend (in-memory, Win32, Qt) implements it once.
//
// Failure contract: none of these calls fails or throws. A platform fault
// (no sound device, a box that cannot be shown) is absorbed by the backend,
// which keeps the program running.

#include "values.h"

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
    // replacing any earlier one; an instant already past fires at once.
    // The wake-up is handed to Form1's tick driver.
    virtual void armWakeUp(LocalMillis at) = 0;

    // End: the program ends at once, without unloading its window.
    virtual void endProgram() = 0;
    // The last window was unloaded: the program ends once the running event returns.
    virtual void quitAfterUnload() = 0;
};

} // namespace tindora
