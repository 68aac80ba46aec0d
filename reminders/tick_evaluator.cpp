#include "tick_evaluator.h"

#include "announcements.h"
#include "tick_moments.h"

namespace tindora {
namespace {

enum class Moment { Warning, Due };

void requestSound(TickInputs& in)
{
    if (in.soundOption.isOn())
        in.soundContainer.setAction(OleContainer::kActivate);
}

void announceFixedTime(TickInputs& in, const ReminderSlot& slot, Moment moment)
{
    requestSound(in);
    if (!in.fixedTimeOption.isOn())
        return;
    const std::string dueTime = in.runtime.formatTimeOfDay(slot.due);
    if (moment == Moment::Warning)
        in.runtime.messageBox(announcement::preWarningText(dueTime, slot.leadMinutes, slot.note.Text()),
                              announcement::kPreWarningStyle, announcement::kFixedTimeTitle);
    else
        in.runtime.messageBox(announcement::dueText(dueTime, slot.note.Text()), announcement::kDueStyle,
                              announcement::kFixedTimeTitle);
}

} // namespace

void evaluateTick(TickInputs& in)
{
    const TimeOfDay now = timeOfDayOf(in.clock.now());

    // Every slot whose moment this second is, in slot order. A warning that
    // falls on its own slot's due second is no warning: only the due box comes.
    for (const ReminderSlot& slot : in.slots) {
        if (!slot.setUp)
            continue;
        if (slot.due == now)
            announceFixedTime(in, slot, Moment::Due);
        else if (slot.preWarning == now)
            announceFixedTime(in, slot, Moment::Warning);
    }

    if (now.minute() == 0 && now.second() == 0 && in.hourlyOption.isOn()) {
        requestSound(in);
        in.runtime.messageBox(announcement::hourlyText(now.hour()), announcement::kHourlyStyle,
                              announcement::kHourlyTitle);
    }
}

void announceSkippedMoments(TickInputs& in, LocalSecond after, LocalSecond before)
{
    // A reminder whose due second was skipped comes as due; its warning, also
    // skipped then, would only repeat it. A skipped warning of a reminder still
    // to come is announced, so that it is not missed. A skipped full hour never
    // was: the chime of the present hour comes at its own second.
    for (const ReminderSlot& slot : in.slots) {
        if (!slot.setUp)
            continue;
        if (comesBetween(slot.due, after, before))
            announceFixedTime(in, slot, Moment::Due);
        else if (comesBetween(slot.preWarning, after, before))
            announceFixedTime(in, slot, Moment::Warning);
    }
}

} // namespace tindora
