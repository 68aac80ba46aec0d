#pragma once
// Which seconds a tick can announce anything at, read from what a tick reads:
// the six derived times, whether each slot is set up, and the three options.
// The tick scheduler plans its wake-ups with it, and the box of reminders
// missed while the computer slept is drawn up with it.

#include "values.h"

#include <array>
#include <optional>
#include <vector>

namespace tindora {

struct SlotMoments {
    TimeOfDay preWarning;
    TimeOfDay due;
    bool setUp = false;
};

struct TickMoments {
    std::array<SlotMoments, 3> slots{}; // in slot order
    bool soundOn = false;               // Check1
    bool fixedTimeOn = false;           // Check2
    bool hourlyOn = false;              // Check3
};

// True when `time` is the time of day of a second strictly between `after` and
// `before`.
bool comesBetween(TimeOfDay time, LocalSecond after, LocalSecond before);

// True when a tick judging a second with this time of day would request the
// sound or show a box.
bool announcesAt(const TickMoments& moments, TimeOfDay time);

// The first second after `after` at which a tick would announce; nothing when
// no second can (nothing set up, or every option that matters off).
std::optional<LocalSecond> nextAnnouncingSecond(const TickMoments& moments, LocalSecond after);

// A due announcement that did not come because its seconds were never judged.
struct MissedDue {
    int slot; // 0 to 2
    TimeOfDay due;
    int times;             // how often its second came in the gap (once a day)
    LocalSecond first = 0; // the first of those seconds
};

// The due boxes that ticks would have shown for the seconds strictly between
// `after` and `before`, ordered by their first second (slots due in the same
// second in slot order). Nothing while the fixed-time option is off.
std::vector<MissedDue> missedDueMoments(const TickMoments& moments, LocalSecond after, LocalSecond before);

} // namespace tindora
