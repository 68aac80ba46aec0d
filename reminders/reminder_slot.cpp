#include "reminder_slot.h"

#include <cmath>

namespace tindora {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The number a text is as a whole: the leading number, with nothing after it.
std::optional<double> wholeTextAsNumber(std::string_view text)
{
    std::size_t digits = 0, at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        ++digits;
    if (at < text.size() && text[at] == '.')
        for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
            ++digits;
    if (digits == 0 || at != text.size())
        return std::nullopt;
    return Val(text);
}

// A picker's item in effect as a part of the time of day; no item counts as 0.
int partOf(const ComboBox& picker) { return picker.ListIndex() < 0 ? 0 : picker.ListIndex(); }

} // namespace

std::optional<int> pickerItemOf(std::string_view typed, int largest)
{
    const std::string_view text = trimmed(typed);
    if (text.empty())
        return -1;
    const std::optional<double> number = wholeTextAsNumber(text);
    if (!number || *number != std::floor(*number) || *number < 0 || *number > largest)
        return std::nullopt;
    return static_cast<int>(*number);
}

std::optional<SlotInputError> recomputeSlot(ReminderSlot& slot)
{
    const double lead = Val(slot.lead.Text());
    if (!std::isfinite(lead))
        return SlotInputError{SlotField::Lead, slot.lead.Text()};

    const TimeOfDay due = TimeOfDay::fromParts(partOf(slot.hour), partOf(slot.minute), partOf(slot.second));
    slot.leadMinutes = roundHalfEven(lead) + 0.0; // never -0
    slot.preWarning = due.movedByMinutes(-slot.leadMinutes);
    slot.due = due;
    slot.setUp = slot.hour.ListIndex() >= 0 || slot.minute.ListIndex() >= 0 || slot.second.ListIndex() >= 0;
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
