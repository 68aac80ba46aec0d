#include "reminder_slot.h"

#include <cmath>

namespace tindora {
namespace {

struct PickerReading {
    int value = 0;
    bool valid = true;
};

// A picker's text as a part of a time of day: its leading number, which must be
// a whole number from 0 to `largest`. Empty text, or text without a number, is 0.
PickerReading readPicker(const ComboBox& picker, int largest)
{
    const double number = Val(picker.Text());
    if (!std::isfinite(number) || number != std::floor(number) || number < 0 || number > largest)
        return {0, false};
    return {static_cast<int>(number), true};
}

} // namespace

std::optional<SlotInputError> recomputeSlot(ReminderSlot& slot)
{
    const double lead = Val(slot.lead.Text());
    if (!std::isfinite(lead))
        return SlotInputError{SlotField::Lead, slot.lead.Text()};

    const PickerReading hour = readPicker(slot.hour, 23);
    if (!hour.valid)
        return SlotInputError{SlotField::Hour, slot.hour.Text()};
    const PickerReading minute = readPicker(slot.minute, 59);
    if (!minute.valid)
        return SlotInputError{SlotField::Minute, slot.minute.Text()};
    const PickerReading second = readPicker(slot.second, 59);
    if (!second.valid)
        return SlotInputError{SlotField::Second, slot.second.Text()};

    const TimeOfDay due = TimeOfDay::fromParts(hour.value, minute.value, second.value);
    slot.preWarning = due.movedByMinutes(-roundHalfEven(lead));
    slot.due = due;
    slot.setUp = !slot.hour.Text().empty() || !slot.minute.Text().empty() || !slot.second.Text().empty();
    return std::nullopt;
}

std::string describeSlotInputError(int slotNumber, const SlotInputError& error)
{
    const std::string slotName = "时间" + std::to_string(slotNumber);
    const std::string keep = "这一组提醒仍按原来的时间进行。";
    switch (error.field) {
    case SlotField::Hour:
        return slotName + "的“时”填的是“" + error.text + "”，这不是有效的小时，请填 0 到 23 之间的整数。" + keep;
    case SlotField::Minute:
        return slotName + "的“分”填的是“" + error.text + "”，这不是有效的分钟，请填 0 到 59 之间的整数。" + keep;
    case SlotField::Second:
        return slotName + "的“秒”填的是“" + error.text + "”，这不是有效的秒数，请填 0 到 59 之间的整数。" + keep;
    case SlotField::Lead:
        break;
    }
    return slotName + "的提前分钟数“" + error.text + "”太大了，无法计算提醒时间，请填一个小一些的数。" + keep;
}

} // namespace tindora
