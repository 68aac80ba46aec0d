#pragma once
// One tick of the clock: decides whether a slot's pre-warning or due time, or a
// full hour, has come, and announces it: the alert sound first (when the sound
// option is on), then the box (when that kind's option is on).

#include "clock.h"
#include "controls.h"
#include "forms_runtime.h"
#include "reminder_slot.h"

#include <array>

namespace tindora {

struct TickInputs {
    std::array<ReminderSlot, 3>& slots;
    const CheckBox& soundOption;     // Check1
    const CheckBox& fixedTimeOption; // Check2
    const CheckBox& hourlyOption;    // Check3
    OleContainer& soundContainer;    // OLE1
    const Clock& clock;
    FormsRuntime& runtime;
};

// Judges the clock's current second (during a tick, the tick's second).
void evaluateTick(TickInputs& inputs);

// Announces, now, the slots' moments that fell on the local seconds strictly
// between `after` and `before`, which did not exist: the clock sprang forward
// over them (daylight saving, a new time zone).
void announceSkippedMoments(TickInputs& inputs, LocalSecond after, LocalSecond before);

} // namespace tindora
