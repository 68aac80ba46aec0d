#pragma once
// Small rules the native backends share, kept out of the interfaces they
// implement.

#include "forms_runtime.h"

#include <algorithm>

namespace tindora {

// What a native timer is set to for a wake-up at `at`: never negative, and at
// most a day, which the wake-up after it plans anew.
inline LocalMillis wakeUpDelay(LocalMillis at, LocalMillis now)
{
    return std::clamp<LocalMillis>(at - now, 0, 24LL * 3600 * 1000);
}

// Whether a box belongs to the program's window: a system-modal announcement
// has no owner, so it shows also while the window is hidden.
inline bool boxHasOwner(const BoxStyle& style, bool windowShown) { return !style.systemModal && windowShown; }

} // namespace tindora
