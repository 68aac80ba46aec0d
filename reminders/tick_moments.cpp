#include "tick_moments.h"

#include <algorithm>

namespace tindora {
namespace {

constexpr LocalSecond kDay = TimeOfDay::kSecondsPerDay;

LocalSecond secondsOfDay(TimeOfDay time) { return time.hour() * 3600 + time.minute() * 60 + time.second(); }

// The first second after `after` whose time of day is `time`.
LocalSecond nextSecondAt(TimeOfDay time, LocalSecond after)
{
    const LocalSecond now = secondsOfDay(timeOfDayOf(after));
    LocalSecond wait = (secondsOfDay(time) - now) % kDay;
    if (wait <= 0)
        wait += kDay;
    return after + wait;
}

bool slotMomentsCount(const TickMoments& m) { return m.soundOn || m.fixedTimeOn; }

} // namespace

bool comesBetween(TimeOfDay time, LocalSecond after, LocalSecond before) { return nextSecondAt(time, after) < before; }

bool announcesAt(const TickMoments& m, TimeOfDay time)
{
    if (m.hourlyOn && time.minute() == 0 && time.second() == 0)
        return true;
    if (!slotMomentsCount(m))
        return false;
    return std::any_of(m.slots.begin(), m.slots.end(), [time](const SlotMoments& slot) {
        return slot.setUp && (slot.preWarning == time || slot.due == time);
    });
}

std::optional<LocalSecond> nextAnnouncingSecond(const TickMoments& m, LocalSecond after)
{
    std::optional<LocalSecond> next;
    const auto consider = [&next](LocalSecond second) {
        if (!next || second < *next)
            next = second;
    };
    if (m.hourlyOn)
        consider(after + 3600 - secondsOfDay(timeOfDayOf(after)) % 3600);
    if (slotMomentsCount(m))
        for (const SlotMoments& slot : m.slots)
            if (slot.setUp) {
                consider(nextSecondAt(slot.preWarning, after));
                consider(nextSecondAt(slot.due, after));
            }
    return next;
}

std::vector<MissedDue> missedDueMoments(const TickMoments& m, LocalSecond after, LocalSecond before)
{
    std::vector<MissedDue> missed;
    if (!m.fixedTimeOn)
        return missed;
    for (int i = 0; i < static_cast<int>(m.slots.size()); ++i) {
        const SlotMoments& slot = m.slots[static_cast<std::size_t>(i)];
        if (!slot.setUp)
            continue;
        const LocalSecond first = nextSecondAt(slot.due, after);
        if (first >= before)
            continue;
        const int times = static_cast<int>((before - 1 - first) / kDay + 1);
        missed.push_back({i, slot.due, times, first});
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const MissedDue& a, const MissedDue& b) { return a.first < b.first; });
    return missed;
}

} // namespace tindora
