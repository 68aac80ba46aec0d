#include "tick_scheduler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tindora {
namespace {

constexpr LocalMillis kStart = 1796601600000; // a Monday, 00:00:00 local
constexpr LocalSecond kStartSecond = kStart / 1000;
constexpr std::int64_t kBoot = 5000000; // the monotonic clock at kStart
using Instant = TickScheduler::Instant;
const TickMoments kNothing{};

// Both clocks in step, as when nobody touches the clock.
Instant steady(LocalMillis wall) { return {wall, kBoot + (wall - kStart)}; }

TEST(TickScheduler, WakesJustAfterTheNextSecondBegins)
{
    TickScheduler scheduler;
    EXPECT_EQ(scheduler.planWakeUp(steady(kStart + 590), kNothing), kStart + 1020);
    EXPECT_EQ(scheduler.planWakeUp(steady(kStart), kNothing), kStart + 1020);
    EXPECT_EQ(scheduler.planWakeUp(steady(kStart + 999), kNothing), kStart + 1020);
    EXPECT_EQ(scheduler.planWakeUp(steady(kStart + 1019), kNothing), kStart + 2020)
        << "an early wake-up in the same second";
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
    std::int64_t monotonic = kBoot;
    LocalSecond previous = -1;
    bool jumpedForward = false, jumpedBack = false;
    int lateBySeconds = 0, early = 0;

    while (now < kStart + kWeek * 1000) {
        const LocalMillis planned = scheduler.planWakeUp({now, monotonic}, kNothing);
        LocalMillis wake = planned + lateness(random);
        const int dice = rare(random);
        if (dice < 3) { // a wake-up several seconds late
            wake += 1000 * (2 + dice * 10);
            ++lateBySeconds;
        } else if (dice < 6) { // a timer firing up to 30 ms early
            wake = planned - 30;
            ++early;
        }
        monotonic += wake - now;
        if (!jumpedForward && wake >= kStart + kJumpForwardAt * 1000) {
            wake += 3600 * 1000;
            monotonic += 3600 * 1000;
            jumpedForward = true;
        }
        if (!jumpedBack && wake >= kStart + kJumpBackAt * 1000) {
            wake -= 60 * 1000;
            jumpedBack = true;
        }
        now = wake;
        scheduler.wakeUp({now, monotonic});
        while (const auto second = scheduler.takeSecond(kNothing)) {
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
    scheduler.start(steady(kStart + 300));
    EXPECT_EQ(scheduler.planWakeUp(steady(kStart + 300), kNothing), kStart + 1020);
    std::vector<LocalSecond> seconds;
    scheduler.wakeUp(steady(kStart + 2600));
    while (const auto s = scheduler.takeSecond(kNothing))
        seconds.push_back(*s);
    EXPECT_EQ(seconds, (std::vector<LocalSecond>{kStartSecond + 1, kStartSecond + 2}))
        << "the start's own second was under way already";
}

TEST(TickScheduler, AGapOfAMinuteIsMadeUpAndALongerOneIsNot)
{
    TickScheduler scheduler;
    EXPECT_FALSE(scheduler.wakeUp(steady(kStart + 20)));
    ASSERT_EQ(scheduler.takeSecond(kNothing), kStartSecond);
    EXPECT_FALSE(scheduler.wakeUp(steady(kStart + 500)));
    ASSERT_FALSE(scheduler.takeSecond(kNothing));

    std::vector<LocalSecond> seconds;
    EXPECT_FALSE(scheduler.wakeUp(steady(kStart + 60 * 1000 + 400)));
    while (const auto s = scheduler.takeSecond(kNothing))
        seconds.push_back(*s);
    ASSERT_EQ(seconds.size(), 60u);
    EXPECT_EQ(seconds.front(), kStartSecond + 1);
    EXPECT_EQ(seconds.back(), kStartSecond + 60);

    seconds.clear();
    EXPECT_EQ(scheduler.wakeUp(steady(kStart + 122 * 1000)),
              (TickScheduler::Gap{kStartSecond + 60, kStartSecond + 122}))
        << "the time really passed";
    while (const auto s = scheduler.takeSecond(kNothing))
        seconds.push_back(*s);
    EXPECT_EQ(seconds, (std::vector<LocalSecond>{kStartSecond + 122})) << "61 seconds late: only the present one";
}

// A jump forward too large to make up is time that passed (a gap to report)
// only when the monotonic clock, which counts sleep, went along with it.
TEST(TickScheduler, AGapIsReportedOnlyWhenTheTimeReallyPassed)
{
    struct Case {
        const char* what;
        LocalMillis wallJump; // from the last wake-up to the next
        LocalMillis realJump; // on the monotonic clock
        bool reported;
    };
    const Case cases[] = {
        {"slept two hours", 2 * 3600 * 1000, 2 * 3600 * 1000, true},
        {"slept, then the clock was corrected by 30 s", 2 * 3600 * 1000 + 30000, 2 * 3600 * 1000, true},
        {"slept, and the clock was set back 20 minutes", 2 * 3600 * 1000 - 1200 * 1000, 2 * 3600 * 1000, true},
        {"held up for 150 s", 150 * 1000, 150 * 1000, true},
        {"held up for 90 s: 30 s late for the safety wake-up, made up", 90 * 1000, 90 * 1000, false},
        {"clock set forward two hours", 2 * 3600 * 1000, 1000, false},
        {"clock set forward 61 s", 62 * 1000, 1000, false},
        // Asleep long enough on its own: the hour the zone skipped is named too.
        {"slept an hour across a zone change of +1 h", 2 * 3600 * 1000, 3600 * 1000, true},
        {"set forward 2 h, held up for 50 s", 2 * 3600 * 1000 + 50 * 1000, 50 * 1000, false},
    };
    for (const Case& c : cases) {
        TickScheduler scheduler(TickScheduler::Pace::OnlyForMoments);
        scheduler.start(steady(kStart));
        scheduler.planWakeUp(steady(kStart), kNothing);
        const Instant late{kStart + c.wallJump, kBoot + c.realJump};
        const auto gap = scheduler.wakeUp(late);
        EXPECT_EQ(gap.has_value(), c.reported) << c.what;
        if (gap) {
            // The minute the plan knew to be quiet counts as judged.
            EXPECT_EQ(*gap, (TickScheduler::Gap{kStartSecond + 59, secondOf(late.wall)})) << c.what;
        }
        EXPECT_FALSE(scheduler.takeSecond(kNothing)) << c.what << ": nothing to announce now";
    }
}

// Paced for moments the wake-up comes for the first second that can announce,
// a minute ahead at most; seconds that cannot announce are not handed over.
TEST(TickScheduler, PacedForMomentsItWakesForTheNextMomentOrWithinAMinute)
{
    TickMoments slot{};
    slot.slots[0] = {TimeOfDay::fromParts(0, 0, 10), TimeOfDay::fromParts(0, 0, 40), true};
    slot.soundOn = true;
    TickScheduler scheduler(TickScheduler::Pace::OnlyForMoments);
    scheduler.start(steady(kStart + 500));
    EXPECT_EQ(scheduler.planWakeUp(steady(kStart + 500), kNothing), kStart + 60 * 1000 + 20) << "only the safety";
    EXPECT_EQ(scheduler.planWakeUp(steady(kStart + 600), slot), kStart + 10 * 1000 + 20);

    // Woken 25 s late, it hands the warning's second only.
    EXPECT_FALSE(scheduler.wakeUp(steady(kStart + 35 * 1000 + 20)));
    EXPECT_EQ(scheduler.takeSecond(slot), kStartSecond + 10);
    EXPECT_FALSE(scheduler.takeSecond(slot));
    EXPECT_EQ(scheduler.planWakeUp(steady(kStart + 35 * 1000 + 30), slot), kStart + 40 * 1000 + 20);

    // The safety wake-up a second late still makes up the second after it.
    EXPECT_FALSE(scheduler.wakeUp(steady(kStart + 40 * 1000 + 20)));
    EXPECT_EQ(scheduler.takeSecond(slot), kStartSecond + 40);
    const LocalMillis safety = scheduler.planWakeUp(steady(kStart + 40 * 1000 + 30), slot);
    EXPECT_EQ(safety, kStart + 100 * 1000 + 20);
    TickMoments laterSlot = slot;
    laterSlot.slots[1] = {TimeOfDay::fromParts(0, 1, 41), TimeOfDay::fromParts(0, 1, 41), true};
    EXPECT_FALSE(scheduler.wakeUp(steady(safety + 1500)));
    EXPECT_EQ(scheduler.takeSecond(laterSlot), kStartSecond + 101);
}

// A change of the offset from UTC is never a clock set by hand: forward, the
// seconds sprung over are handed as one skip and no gap is reported; back,
// the repeated seconds are not handed again.
TEST(TickScheduler, AChangeOfTheUtcOffsetSkipsForwardOrWaitsButIsNeverASetClock)
{
    constexpr std::int64_t kHour = 3600 * 1000;
    TickScheduler scheduler(TickScheduler::Pace::OnlyForMoments);
    scheduler.start(steady(kStart));
    scheduler.planWakeUp(steady(kStart), kNothing);

    // Two seconds of real time later, local time is an hour and two seconds on.
    const Instant forward{kStart + kHour + 2000, kBoot + 2000, kHour};
    EXPECT_FALSE(scheduler.wakeUp(forward)) << "no gap: the time did not pass";
    EXPECT_EQ(scheduler.takeSkip(), (TickScheduler::Skip{kStartSecond + 59, kStartSecond + 3602}))
        << "from the last second the plan knew to be quiet";
    EXPECT_FALSE(scheduler.takeSkip()) << "once";
    EXPECT_EQ(scheduler.takeSecond(kNothing), std::nullopt);

    // Back by the hour a minute later: the repeated seconds wait.
    scheduler.planWakeUp(forward, kNothing);
    const Instant back{kStart + 62000, kBoot + 62000, 0};
    EXPECT_FALSE(scheduler.wakeUp(back));
    EXPECT_FALSE(scheduler.takeSkip());
    EXPECT_EQ(scheduler.planWakeUp(back, kNothing), kStart + 122 * 1000 + 20) << "a safety wake-up, not at once";
    EXPECT_FALSE(scheduler.takeSecond(TickMoments{{}, true, true, true})) << "nothing handed twice";

    // The same jump back by hand is judged again.
    TickScheduler byHand;
    byHand.start(steady(kStart + 120 * 1000));
    EXPECT_FALSE(byHand.wakeUp(steady(kStart + 121 * 1000)));
    EXPECT_EQ(byHand.takeSecond(kNothing), kStartSecond + 121);
    EXPECT_FALSE(byHand.wakeUp({kStart + 62000, kBoot + 122 * 1000, 0}));
    EXPECT_EQ(byHand.takeSecond(kNothing), kStartSecond + 62) << "set back by hand: judged again";
}

} // namespace
} // namespace tindora
