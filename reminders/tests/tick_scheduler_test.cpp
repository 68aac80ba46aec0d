#include "tick_scheduler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tindora {
namespace {

constexpr LocalMillis kStart = 1796601600000; // a Monday, 00:00:00 local
constexpr LocalSecond kStartSecond = kStart / 1000;

TEST(TickScheduler, WakesJustAfterTheNextSecondBegins)
{
    TickScheduler scheduler;
    EXPECT_EQ(scheduler.nextWakeUp(kStart + 590), kStart + 1020);
    EXPECT_EQ(scheduler.nextWakeUp(kStart), kStart + 1020);
    EXPECT_EQ(scheduler.nextWakeUp(kStart + 999), kStart + 1020);
    EXPECT_EQ(scheduler.nextWakeUp(kStart + 1019), kStart + 2020) << "an early wake-up in the same second";
}

TEST(TickScheduler, HandsOverEachSecondOnceThroughAWeekOfLateEarlyAndJumpingWakeUps)
{
    constexpr LocalSecond kWeek = 7 * 24 * 3600;
    constexpr LocalSecond kJumpForwardAt = 2 * 24 * 3600 + 5000; // the machine sleeps an hour
    constexpr LocalSecond kJumpBackAt = 4 * 24 * 3600 + 7000;    // the clock is set back a minute
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> lateness(0, 900);
    std::uniform_int_distribution<int> rare(0, 9999);

    std::vector<int> handed(static_cast<std::size_t>(kWeek + 4000), 0);
    TickScheduler scheduler;
    LocalMillis now = kStart;
    LocalSecond previous = -1;
    bool jumpedForward = false, jumpedBack = false;
    int lateBySeconds = 0, early = 0;

    while (now < kStart + kWeek * 1000) {
        LocalMillis wake = scheduler.nextWakeUp(now) + lateness(random);
        const int dice = rare(random);
        if (dice < 3) { // a wake-up several seconds late
            wake += 1000 * (2 + dice * 10);
            ++lateBySeconds;
        } else if (dice < 6) { // a timer firing up to 30 ms early
            wake = scheduler.nextWakeUp(now) - 30;
            ++early;
        }
        if (!jumpedForward && wake >= kStart + kJumpForwardAt * 1000) {
            wake += 3600 * 1000;
            jumpedForward = true;
        }
        if (!jumpedBack && wake >= kStart + kJumpBackAt * 1000) {
            wake -= 60 * 1000;
            jumpedBack = true;
        }
        now = wake;
        while (const auto second = scheduler.takeSecond(now)) {
            ASSERT_LE(*second, secondOf(now)) << "never a second from the future";
            if (!(jumpedBack && *second < previous && previous - *second <= 61)) {
                ASSERT_GT(*second, previous) << "oldest first";
            }
            previous = *second;
            ++handed[static_cast<std::size_t>(*second - kStartSecond)];
        }
    }
    ASSERT_TRUE(jumpedForward && jumpedBack);
    EXPECT_GT(lateBySeconds, 50);
    EXPECT_GT(early, 50);

    // Find the hour that was skipped and the minute that was repeated.
    int skipped = 0, twice = 0, once = 0;
    for (LocalSecond s = 1; s < previous - kStartSecond; ++s) {
        const int count = handed[static_cast<std::size_t>(s)];
        EXPECT_LE(count, 2) << s;
        skipped += count == 0;
        twice += count == 2;
        once += count == 1;
    }
    EXPECT_NEAR(skipped, 3600, 2) << "the hour jumped over is not made up";
    EXPECT_NEAR(twice, 60, 2) << "the minute set back is judged again";
    EXPECT_EQ(once + skipped + twice, previous - kStartSecond - 1);
    // Outside the jumps every second came exactly once.
    for (LocalSecond s = 1; s < kJumpForwardAt - 5; ++s)
        ASSERT_EQ(handed[static_cast<std::size_t>(s)], 1) << s;
}

TEST(TickScheduler, AFirstWakeUpHeldUpByASlowStartJudgesEverySecondSinceTheStart)
{
    TickScheduler scheduler;
    scheduler.start(kStart + 300);
    EXPECT_EQ(scheduler.nextWakeUp(kStart + 300), kStart + 1020);
    std::vector<LocalSecond> seconds;
    while (const auto s = scheduler.takeSecond(kStart + 2600))
        seconds.push_back(*s);
    EXPECT_EQ(seconds, (std::vector<LocalSecond>{kStartSecond + 1, kStartSecond + 2}))
        << "the start's own second was under way already";
}

TEST(TickScheduler, AGapOfAMinuteIsMadeUpAndALongerOneIsNot)
{
    TickScheduler scheduler;
    ASSERT_EQ(scheduler.takeSecond(kStart + 20), kStartSecond);
    ASSERT_FALSE(scheduler.takeSecond(kStart + 500));

    std::vector<LocalSecond> seconds;
    while (const auto s = scheduler.takeSecond(kStart + 60 * 1000 + 400))
        seconds.push_back(*s);
    ASSERT_EQ(seconds.size(), 60u);
    EXPECT_EQ(seconds.front(), kStartSecond + 1);
    EXPECT_EQ(seconds.back(), kStartSecond + 60);

    seconds.clear();
    while (const auto s = scheduler.takeSecond(kStart + 122 * 1000))
        seconds.push_back(*s);
    EXPECT_EQ(seconds, (std::vector<LocalSecond>{kStartSecond + 122})) << "61 seconds late: only the present one";
}

} // namespace
} // namespace tindora
