#pragma once
// A reminder slot: one row of controls (hour, minute and second pickers, lead
// and note fields) and the two times derived from them, the pre-warning time
// and the due time. The slot keeps no copy of what the controls hold.

#include "controls.h"
#include "values.h"

#include <optional>
#include <string>

namespace tindora {

struct ReminderSlot {
    int number; // 1 to 3, as the user sees it ("时间1：")
    ComboBox& hour;
    ComboBox& minute;
    ComboBox& second;
    TextBox& lead;
    TextBox& note;
    TimeOfDay& preWarning;
    TimeOfDay& due;
    // Set up only while at least one picker holds text; a slot that is not set
    // up takes no part in the tick's tests.
    bool& setUp;
};

enum class SlotField { Hour, Minute, Second, Lead };

// Why a slot's controls do not make a time: which field, and what it held.
struct SlotInputError {
    SlotField field;
    std::string text;
};

// Recomputes the slot's set-up state and derived times from its controls as
// they are now. When a picker does not hold a valid part of a time of day, or
// the lead is too large to be a number, nothing changes and the error says
// which field is wrong.
std::optional<SlotInputError> recomputeSlot(ReminderSlot& slot);

// The sentence that tells the user which field of which slot is wrong.
std::string describeSlotInputError(int slotNumber, const SlotInputError& error);

} // namespace tindora
