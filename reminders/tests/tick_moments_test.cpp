#include "tick_moments.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tindora {
namespace {

constexpr LocalSecond kMonday = 1796601600; // 2026-12-07 00:00:00 local
constexpr LocalSecond kDay = 24 * 3600;

constexpr LocalSecond on(int day, int hour, int minute, int second)
{
    return kMonday + day * kDay + hour * 3600 + minute * 60 + second;
}
constexpr TimeOfDay t(int hour, int minute, int second) { return TimeOfDay::fromParts(hour, minute, second); }

struct Options {
    bool sound, fixedTime, hourly;
};

TickMoments moments(Options options, std::vector<SlotMoments> slots)
{
    TickMoments m;
    for (std::size_t i = 0; i < slots.size(); ++i)
        m.slots[i] = slots[i];
    m.soundOn = options.sound;
    m.fixedTimeOn = options.fixedTime;
    m.hourlyOn = options.hourly;
    return m;
}

TEST(TickMoments, TheNextAnnouncingSecond)
{
    const SlotMoments eightThirty{t(8, 25, 0), t(8, 30, 0), true};
    const SlotMoments overMidnight{t(23, 57, 0), t(0, 2, 0), true};
    const SlotMoments leadZero{t(9, 0, 0), t(9, 0, 0), true};
    const SlotMoments notSetUp{t(8, 0, 0), t(8, 5, 0), false};
    struct Case {
        const char* what;
        TickMoments moments;
        LocalSecond after;
        std::optional<LocalSecond> expected;
    };
    const Case cases[] = {
        {"nothing set up, hourly off", moments({true, true, false}, {}), on(0, 8, 0, 0), std::nullopt},
        {"a slot that was never set up", moments({true, true, false}, {notSetUp}), on(0, 7, 0, 0), std::nullopt},
        {"sound and fixed-time options off", moments({false, false, false}, {eightThirty}), on(0, 8, 0, 0),
         std::nullopt},
        {"the warning first", moments({true, true, false}, {eightThirty}), on(0, 8, 0, 0), on(0, 8, 25, 0)},
        {"sound alone counts", moments({true, false, false}, {eightThirty}), on(0, 8, 0, 0), on(0, 8, 25, 0)},
        {"the box alone counts", moments({false, true, false}, {eightThirty}), on(0, 8, 25, 0), on(0, 8, 30, 0)},
        {"strictly after", moments({true, true, false}, {eightThirty}), on(0, 8, 30, 0), on(1, 8, 25, 0)},
        {"warning before midnight", moments({true, true, false}, {overMidnight}), on(0, 23, 0, 0), on(0, 23, 57, 0)},
        {"due after midnight", moments({true, true, false}, {overMidnight}), on(0, 23, 58, 0), on(1, 0, 2, 0)},
        {"lead 0: one second", moments({true, true, false}, {leadZero}), on(0, 9, 0, 0), on(1, 9, 0, 0)},
        {"hourly only", moments({false, false, true}, {}), on(0, 9, 59, 59), on(0, 10, 0, 0)},
        {"hourly only, on the hour", moments({false, false, true}, {}), on(0, 10, 0, 0), on(0, 11, 0, 0)},
        {"hourly across midnight", moments({true, true, true}, {}), on(0, 23, 30, 0), on(1, 0, 0, 0)},
        {"the hour before a slot", moments({true, true, true}, {eightThirty}), on(0, 7, 10, 0), on(0, 8, 0, 0)},
        {"the earliest of three", moments({true, true, false}, {eightThirty, overMidnight, leadZero}), on(0, 8, 26, 0),
         on(0, 8, 30, 0)},
        {"before 1970 local", moments({false, false, true}, {}), -5, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nextAnnouncingSecond(c.moments, c.after), c.expected) << c.what;
}

TEST(TickMoments, AnnouncesAtFollowsTheOptions)
{
    const TickMoments m = moments({true, false, true}, {{t(8, 25, 0), t(8, 30, 0), true}});
    EXPECT_TRUE(announcesAt(m, t(8, 25, 0)));
    EXPECT_TRUE(announcesAt(m, t(8, 30, 0)));
    EXPECT_TRUE(announcesAt(m, t(14, 0, 0)));
    EXPECT_FALSE(announcesAt(m, t(14, 0, 1)));
    EXPECT_FALSE(announcesAt(m, t(8, 29, 59)));
    const TickMoments silent = moments({false, false, false}, {{t(8, 25, 0), t(8, 30, 0), true}});
    EXPECT_FALSE(announcesAt(silent, t(8, 30, 0)));
    EXPECT_FALSE(announcesAt(silent, t(14, 0, 0)));
}

TEST(TickMoments, MissedDueMomentsInAGap)
{
    const SlotMoments eightThirty{t(8, 25, 0), t(8, 30, 0), true};
    const SlotMoments seven{t(6, 55, 0), t(7, 0, 0), true};
    const SlotMoments leadZero{t(9, 0, 0), t(9, 0, 0), true};
    using List = std::vector<std::pair<int, int>>; // slot, times, in the order listed
    struct Case {
        const char* what;
        TickMoments moments;
        LocalSecond after, before;
        List expected;
    };
    const Case cases[] = {
        {"one due moment", moments({true, true, false}, {eightThirty}), on(0, 8, 0, 0), on(0, 9, 0, 0), {{0, 1}}},
        {"only its warning fell in the gap",
         moments({true, true, false}, {eightThirty}),
         on(0, 8, 0, 0),
         on(0, 8, 29, 0),
         {}},
        {"due in the present second: its tick comes",
         moments({true, true, false}, {eightThirty}),
         on(0, 8, 0, 0),
         on(0, 8, 30, 0),
         {}},
        {"judged just before the gap",
         moments({true, true, false}, {eightThirty}),
         on(0, 8, 30, 0),
         on(0, 9, 0, 0),
         {}},
        {"fixed-time option off", moments({true, false, true}, {eightThirty}), on(0, 8, 0, 0), on(0, 9, 0, 0), {}},
        {"in time order, not slot order",
         moments({true, true, false}, {eightThirty, {}, seven}),
         on(0, 6, 0, 0),
         on(0, 9, 0, 0),
         {{2, 1}, {0, 1}}},
        {"over three nights",
         moments({true, true, false}, {eightThirty, seven}),
         on(0, 7, 30, 0),
         on(3, 7, 30, 0),
         {{0, 3}, {1, 3}}},
        {"lead 0 is listed", moments({true, true, false}, {leadZero}), on(0, 8, 0, 0), on(0, 10, 0, 0), {{0, 1}}},
        {"a due moment at another slot's warning is listed too",
         moments({true, true, false}, {{t(8, 30, 0), t(8, 40, 0), true}, eightThirty}),
         on(0, 8, 0, 0),
         on(0, 9, 0, 0),
         {{1, 1}, {0, 1}}},
        {"two slots due together: both, in slot order",
         moments({true, true, false}, {eightThirty, eightThirty}),
         on(0, 8, 0, 0),
         on(0, 9, 0, 0),
         {{0, 1}, {1, 1}}},
    };
    for (const Case& c : cases) {
        List listed;
        for (const MissedDue& missed : missedDueMoments(c.moments, c.after, c.before))
            listed.emplace_back(missed.slot, missed.times);
        EXPECT_EQ(listed, c.expected) << c.what;
    }
}

} // namespace
} // namespace tindora
