#include "tick_evaluator.h"

#include "announcements.h"

namespace tindora {
namespace {

void requestSound(TickInputs& in)
{
    if (in.soundOption.isOn())
        in.soundContainer.setAction(OleContainer::kActivate);
}

void announceFixedTime(TickInputs& in, const ReminderSlot& slot, bool preWarning)
{
    requestSound(in);
    if (!in.fixedTimeOption.isOn())
        return;
    const std::string dueTime = in.runtime.formatTimeOfDay(slot.due);
    if (preWarning)
        in.runtime.messageBox(announcement::preWarningText(dueTime, slot.lead.Text(), slot.note.Text()),
                              announcement::kPreWarningStyle, announcement::kFixedTimeTitle);
    else
        in.runtime.messageBox(announcement::dueText(dueTime, slot.note.Text()), announcement::kDueStyle,
                              announcement::kFixedTimeTitle);
}

} // namespace

void evaluateTick(TickInputs& in)
{
    const LocalSecond second = in.clock.now();
    const TimeOfDay now = timeOfDayOf(second);

    // The first matching moment in slot order, pre-warning before due, is the
    // tick's only fixed-time announcement.
    for (const ReminderSlot& slot : in.slots) {
        if (!slot.setUp)
            continue;
        if (slot.preWarning == now) {
            announceFixedTime(in, slot, true);
            break;
        }
        if (slot.due == now) {
            announceFixedTime(in, slot, false);
            break;
        }
    }

    if (now.minute() == 0 && now.second() == 0 && in.hourlyOption.isOn()) {
        requestSound(in);
        in.runtime.messageBox(announcement::hourlyText(now.hour()), announcement::kHourlyStyle,
                              announcement::kHourlyTitle);
    }
}

} // namespace tindora
