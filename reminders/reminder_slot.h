#pragma once
// A reminder slot: one row of controls (hour, minute and second pickers, lead
// and note fields) and what is derived from them: the pre-warning time, the
// due time and the lead in whole minutes. The slot keeps no copy of what the
// controls hold.

#include "controls.h"
#include "values.h"

#include <optional>
#include <string>
#include <string_view>

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
    // The whole minutes by which the warning comes ahead: what a warning box
    // states and what the lead field shows once it is committed.
    double& leadMinutes;
    // Set up only while at least one picker has an item selected; a slot that
    // is not set up takes no part in the tick's tests.
    bool& setUp;
};

enum class SlotField { Hour, Minute, Second, Lead };

// Why a field of a slot was not taken: which field, and what it held.
struct SlotInputError {
    SlotField field;
    std::string text;
};

// The item a picker's committed text names: the whole number it is, however
// written ("7", "07", "7.0", " 7 "), from 0 to `largest`; -1 (no item) for
// blank text. Nothing when the text is anything else ("24", "-1", "7.5", "七").
std::optional<int> pickerItemOf(std::string_view typed, int largest);

// Recomputes the slot's set-up state and derived values from the items its
// pickers have selected and the lead field's text. When the lead is too large
// to be a number, nothing changes and the error says so.
std::optional<SlotInputError> recomputeSlot(ReminderSlot& slot);

// The sentence that tells the user which field of which slot is wrong.
std::string describeSlotInputError(int slotNumber, const SlotInputError& error);

} // namespace tindora
