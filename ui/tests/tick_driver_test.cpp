#include "headless_app.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tindora {
namespace {

using headless::Announcement;
using headless::at;
using headless::HeadlessApp;
using Pace = TickScheduler::Pace;

void setSlot(Form1& form, int slot, int hour, int minute, int second, const std::string& lead, const std::string& note)
{
    ReminderSlot& s = form.slots()[static_cast<std::size_t>(slot - 1)];
    s.hour.userChoseItem(hour);
    s.minute.userChoseItem(minute);
    s.second.userChoseItem(second);
    headless::typeAndCommit(s.lead, lead);
    headless::typeAndCommit(s.note, note);
}

std::string describe(const Announcement& a)
{
    std::ostringstream out;
    out << (a.kind == Announcement::Kind::Sound ? "sound" : "box") << " at "
        << formatHhMmSs(timeOfDayOf(a.judgedSecond)) << " (" << a.judgedSecond << ") icon "
        << static_cast<int>(a.style.icon) << (a.style.systemModal ? " on top" : "") << " [" << a.title << "] "
        << a.text;
    return out.str();
}

std::vector<std::string> describeAll(const std::vector<Announcement>& log)
{
    std::vector<std::string> lines;
    for (const Announcement& a : log)
        lines.push_back(describe(a));
    return lines;
}

// A week in the life of the program: random edits, options switched, the
// clock set forward and back, time-zone changes (each reported, as the
// platform reports them) and sleeps, with boxes sometimes left open while the
// clock runs on. The script draws from its own generators only, so two runs
// whose announcements agree do exactly the same things.
class WeekScript {
public:
    explicit WeekScript(std::uint32_t seed) : m_random(seed), m_boxRandom(seed ^ 0x5EEDu) {}

    void run(HeadlessApp& app)
    {
        m_app = &app;
        app.runtime.whileBoxOpen = [this](const Announcement&) {
            if (m_depth < 2 && chance(m_boxRandom, 8)) {
                ++m_depth;
                runFor(pick(m_boxRandom, {1, 3, 20, 59, 61, 90}));
                --m_depth;
            }
            return BoxAnswer::Ok;
        };
        app.start();
        const std::int64_t end = app.runtime.monotonic + 7LL * 24 * 3600 * 1000;
        while (app.runtime.monotonic < end && !app.runtime.ended)
            step();
        app.runtime.whileBoxOpen = nullptr;
    }

    int jumps = 0, sleeps = 0, edits = 0;

private:
    static bool chance(std::mt19937& random, int percent)
    {
        return std::uniform_int_distribution<int>(0, 99)(random) < percent;
    }
    static int pick(std::mt19937& random, std::initializer_list<int> values)
    {
        const auto i = std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random);
        return *(values.begin() + i);
    }
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // Runs the clock on by whole seconds and stops 700 ms into a second, well
    // after the wake-up at its start: an edit then finds that second judged
    // on either pace.
    void runFor(int seconds)
    {
        const LocalMillis now = m_app->runtime.clock;
        m_app->runUntil(now - (now % 1000 + 1000) % 1000 + seconds * 1000LL + 700);
    }

    ReminderSlot& anySlot() { return m_app->form.slots()[static_cast<std::size_t>(uniform(0, 2))]; }

    void step()
    {
        Form1& form = m_app->form;
        const int dice = uniform(0, 99);
        if (dice < 40) {
            runFor(chance(m_random, 85) ? uniform(1, 900) : uniform(900, 3 * 3600));
        } else if (dice < 52) {
            // A time in the coming minutes, picked part by part, so moments keep coming.
            ReminderSlot& slot = anySlot();
            const TimeOfDay due = timeOfDayOf(secondOf(m_app->runtime.clock) + uniform(-60, 1500));
            slot.hour.userChoseItem(due.hour());
            slot.minute.userChoseItem(due.minute());
            slot.second.userChoseItem(due.second());
            ++edits;
        } else if (dice < 60) {
            ReminderSlot& slot = anySlot();
            const int which = uniform(0, 2);
            if (which == 0)
                slot.hour.userChoseItem(uniform(0, 23));
            else if (which == 1)
                slot.minute.userChoseItem(uniform(0, 59));
            else
                slot.second.userChoseItem(chance(m_random, 50) ? 0 : uniform(0, 59));
            ++edits;
        } else if (dice < 68) {
            const char* leads[] = {"0", "5", "2.6", "abc", "1440", "-3", "30", "1", "", "10分钟", "61"};
            headless::typeAndCommit(anySlot().lead, leads[uniform(0, 10)]);
            ++edits;
        } else if (dice < 72) {
            const char* notes[] = {"开会", "", "吃药", "给妈妈打电话"};
            headless::typeAndCommit(anySlot().note, notes[uniform(0, 3)]);
            ++edits;
        } else if (dice < 80) {
            CheckBox* options[] = {&form.Check1, &form.Check2, &form.Check3};
            const int value = chance(m_random, 5) ? 2 : chance(m_random, 70) ? 1 : 0;
            options[uniform(0, 2)]->userSetValue(static_cast<std::int16_t>(value));
            ++edits;
        } else if (dice < 88) {
            // The clock set by hand, forward or back.
            const int seconds = pick(m_random, {2, 30, 59, 60, 61, 62, 90, 600, 7200, 86400});
            m_app->setClock(m_app->runtime.clock + (chance(m_random, 50) ? 1 : -1) * seconds * 1000LL);
            ++jumps;
        } else if (dice < 93) {
            // A time-zone change: half- and quarter-hour zones too.
            const int minutes = pick(m_random, {60, -60, 330, -330, 345, -345, 525, -525, 30, -30});
            m_app->setClock(m_app->runtime.clock + minutes * 60 * 1000LL);
            ++jumps;
        } else {
            // Short sleeps are made up; long ones are reported. In between
            // (60 to 120 s) the two paces may differ in good faith: paced for
            // moments, a wake-up due after the sleep began is late by less
            // than a minute and is still made up.
            const int seconds = chance(m_random, 40)   ? uniform(1, 50)
                                : chance(m_random, 90) ? uniform(130, 2 * 3600)
                                                       : uniform(2 * 3600, 30 * 3600);
            m_app->sleep(seconds * 1000LL);
            ++sleeps;
        }
    }

    HeadlessApp* m_app = nullptr;
    std::mt19937 m_random;
    std::mt19937 m_boxRandom;
    int m_depth = 0;
};

TEST(TickDriver, AWeekOfEditsJumpsAndSleepsAnnouncesTheSameWakingOnlyForMomentsAsEverySecond)
{
    int dueBoxes = 0, hourly = 0, missed = 0, jumps = 0, sleeps = 0;
    for (std::uint32_t seed = 20261207u; seed < 20261207u + 12; ++seed) {
        HeadlessApp everySecond(at(0, 7, 0, 0, 700), Pace::EverySecond);
        HeadlessApp forMoments(at(0, 7, 0, 0, 700), Pace::OnlyForMoments);
        WeekScript reference(seed), script(seed);
        reference.run(everySecond);
        script.run(forMoments);

        const auto expected = describeAll(everySecond.runtime.log);
        const auto actual = describeAll(forMoments.runtime.log);
        std::size_t firstDifference = 0;
        while (firstDifference < expected.size() && firstDifference < actual.size() &&
               expected[firstDifference] == actual[firstDifference])
            ++firstDifference;
        ASSERT_EQ(firstDifference, expected.size())
            << "seed " << seed << ", every second: " << expected[firstDifference]
            << "\nfor moments: " << (firstDifference < actual.size() ? actual[firstDifference] : "nothing");
        ASSERT_EQ(actual.size(), expected.size()) << "seed " << seed << ": " << actual[firstDifference];

        for (const Announcement& a : forMoments.runtime.log) {
            dueBoxes += a.style.icon == BoxIcon::Exclamation;
            hourly += a.title == "整点报时！";
            missed += a.title == "错过的提醒";
        }
        jumps += script.jumps;
        sleeps += script.sleeps;
        // Far fewer wake-ups than one a second (a week is 604,800 seconds,
        // less the time asleep).
        EXPECT_LT(forMoments.wakeUpsFired * 20, everySecond.wakeUpsFired)
            << "seed " << seed << ": " << forMoments.runtime.log.size() << " announcements, " << script.edits
            << " edits, " << script.jumps << " jumps, " << script.sleeps << " sleeps; wake-ups every second "
            << everySecond.wakeUpsFired << ", for moments " << forMoments.wakeUpsFired;
    }
    // The weeks did what they are for.
    EXPECT_GT(dueBoxes, 100);
    EXPECT_GT(hourly, 200);
    EXPECT_GT(missed, 50);
    EXPECT_GT(jumps, 500);
    EXPECT_GT(sleeps, 300);
}

TEST(TickDriver, WithNothingToAnnounceOnlyTheSafetyWakeUpIsArmedAndAnOptionReplansAtOnce)
{
    HeadlessApp app(at(0, 9, 59, 30, 500));
    app.start();
    ASSERT_TRUE(app.runtime.armedWakeUp);
    EXPECT_EQ(*app.runtime.armedWakeUp, at(0, 10, 0, 30, 20)) << "a minute ahead";
    app.form.Check3.userSetValue(CheckBox::kChecked);
    EXPECT_EQ(*app.runtime.armedWakeUp, at(0, 10, 0, 0, 20)) << "the hourly chime";
    app.form.Check3.userSetValue(CheckBox::kUnchecked);
    app.form.Combo2.userChoseItem(9);
    app.form.Combo3.userChoseItem(59);
    app.form.Combo4.userChoseItem(45);
    EXPECT_EQ(*app.runtime.armedWakeUp, at(0, 9, 59, 45, 20)) << "the slot's due moment, lead 5 being past";
    app.form.Check1.setValue(CheckBox::kUnchecked);
    app.form.Check2.setValue(CheckBox::kUnchecked);
    EXPECT_EQ(*app.runtime.armedWakeUp, at(0, 10, 0, 30, 20)) << "a slot with no sound and no box wakes nobody";
}

TEST(TickDriver, AQuarterHourZoneChimesAtTheLocalFullHour)
{
    HeadlessApp app(at(0, 9, 10, 0));
    app.start();
    app.form.Check3.userSetValue(CheckBox::kChecked);
    app.runUntil(at(0, 9, 20, 0));
    app.setClock(at(0, 9, 20, 0) + (5 * 60 + 45) * 60 * 1000); // from UTC to UTC+5:45: 15:05 local
    app.runUntil(at(0, 16, 0, 0, 500));
    ASSERT_EQ(app.runtime.log.size(), 2u);
    EXPECT_EQ(app.runtime.log[1].text, "请注意：16点已经到了！");
    EXPECT_EQ(app.runtime.log[1].judgedSecond, secondOf(at(0, 16, 0, 0)));
}

TEST(TickDriver, AfterASleepOneBoxNamesTheRemindersThatCameDueMeanwhile)
{
    struct Case {
        const char* what;
        std::function<void(HeadlessApp&)> setUp;
        LocalMillis sleepFrom, sleepFor;
        std::vector<std::string> boxes; // "title|text", in order, from the sleep on
        bool bySetClock = false;        // the clock set forward by hand instead
    };
    const LocalMillis hour = 3600 * 1000;
    const std::string heading = "电脑休眠期间错过了以下提醒：";
    const Case cases[] = {
        {"one reminder with its note",
         [](HeadlessApp& a) { setSlot(a.form, 1, 8, 30, 0, "5", "开会"); },
         at(0, 8, 0, 0, 500),
         hour,
         {"错过的提醒|" + heading + "\r\n时间1　8:30:00　开会"}},
        {"an empty note: no separator after the time",
         [](HeadlessApp& a) { setSlot(a.form, 2, 8, 30, 0, "5", ""); },
         at(0, 8, 0, 0, 500),
         hour,
         {"错过的提醒|" + heading + "\r\n时间2　8:30:00"}},
        {"in time order, not slot order; the hourly chime is not named",
         [](HeadlessApp& a) {
             setSlot(a.form, 1, 9, 15, 0, "5", "一");
             setSlot(a.form, 3, 8, 45, 30, "0", "三");
             a.form.Check3.userSetValue(CheckBox::kChecked);
         },
         at(0, 8, 0, 0, 500),
         2 * hour + 600 * 1000,
         {"错过的提醒|" + heading + "\r\n时间3　8:45:30　三\r\n时间1　9:15:00　一"}},
        {"a warning in the gap and its due moment after it: no box, the due box comes",
         [](HeadlessApp& a) { setSlot(a.form, 1, 9, 0, 0, "30", "晚点"); },
         at(0, 8, 0, 0, 500),
         hour,
         {"固定报时！|请注意：9:00:00到了！\r\n别忘了：晚点"}},
        {"two nights: each reminder once, with the count",
         [](HeadlessApp& a) {
             setSlot(a.form, 1, 8, 30, 0, "5", "开会");
             setSlot(a.form, 2, 20, 0, 0, "5", "");
         },
         at(0, 8, 0, 0, 500),
         48 * hour,
         {"错过的提醒|" + heading + "\r\n时间1　8:30:00　开会　共2次\r\n时间2　20:00:00　共2次"}},
        {"the fixed-time option off: no box",
         [](HeadlessApp& a) {
             setSlot(a.form, 1, 8, 30, 0, "5", "开会");
             a.form.Check2.userSetValue(CheckBox::kUnchecked);
         },
         at(0, 8, 0, 0, 500),
         hour,
         {}},
        {"the clock set forward by hand: nothing made up, no box",
         [](HeadlessApp& a) { setSlot(a.form, 1, 8, 30, 0, "5", "开会"); },
         at(0, 8, 0, 0, 500),
         hour,
         {},
         true},
        {"a short sleep is made up second by second",
         [](HeadlessApp& a) { setSlot(a.form, 1, 8, 0, 30, "0", "短"); },
         at(0, 8, 0, 0, 500),
         50 * 1000,
         {"固定报时！|请注意：8:00:30到了！\r\n别忘了：短"}},
    };
    for (const Case& c : cases) {
        HeadlessApp app(at(0, 7, 0, 0));
        app.start();
        c.setUp(app);
        app.runUntil(c.sleepFrom);
        app.runtime.log.clear();
        if (c.bySetClock)
            app.setClock(c.sleepFrom + c.sleepFor);
        else
            app.sleep(c.sleepFor);
        app.runUntil(c.sleepFrom + c.sleepFor + 10 * 1000);
        std::vector<std::string> boxes;
        for (const Announcement& a : app.runtime.log) {
            if (a.kind != Announcement::Kind::Box)
                continue;
            boxes.push_back(a.title + "|" + a.text);
            if (a.title == "错过的提醒") {
                EXPECT_EQ(a.style, (BoxStyle{BoxIcon::Information, BoxButtons::Ok, true, Announces::Reminder}))
                    << c.what;
                EXPECT_EQ(a.judgedSecond, secondOf(c.sleepFrom + c.sleepFor)) << c.what << ": on resume";
            }
        }
        EXPECT_EQ(boxes, c.boxes) << c.what;
        if (!c.boxes.empty() && c.boxes[0].starts_with("错过的提醒")) {
            EXPECT_EQ(app.runtime.log.front().kind, Announcement::Kind::Box) << c.what << ": without sound";
        }
    }
}

TEST(TickDriver, TheMissedRemindersBoxByteForByte)
{
    HeadlessApp app(at(0, 7, 0, 0));
    app.start();
    setSlot(app.form, 1, 8, 30, 0, "5", "开会");
    app.runUntil(at(0, 8, 0, 0));
    app.sleep(3600 * 1000);
    ASSERT_EQ(app.runtime.log.size(), 1u);
    // 错过的提醒 / 电脑休眠期间错过了以下提醒： CR LF 时间1 U+3000 8:30:00 U+3000 开会
    EXPECT_EQ(app.runtime.log[0].title, "\xE9\x94\x99\xE8\xBF\x87\xE7\x9A\x84\xE6\x8F\x90\xE9\x86\x92");
    EXPECT_EQ(app.runtime.log[0].text, "\xE7\x94\xB5\xE8\x84\x91\xE4\xBC\x91\xE7\x9C\xA0\xE6\x9C\x9F\xE9\x97\xB4"
                                       "\xE9\x94\x99\xE8\xBF\x87\xE4\xBA\x86\xE4\xBB\xA5\xE4\xB8\x8B"
                                       "\xE6\x8F\x90\xE9\x86\x92\xEF\xBC\x9A\r\n"
                                       "\xE6\x97\xB6\xE9\x97\xB4"
                                       "1\xE3\x80\x80"
                                       "8:30:00\xE3\x80\x80"
                                       "\xE5\xBC\x80\xE4\xBC\x9A");
}

// The platform's wake-up is spent once it fires (Windows kills the timer, a
// timerfd is single-shot): the driver arms the next one before it hands a
// second to Timer1, so that while a box of that tick is open the next
// wake-up is already armed, and the ticks go on under the box.
TEST(TickDriver, TheNextWakeUpIsArmedBeforeATicksBoxOpens)
{
    for (const auto pace : {Pace::EverySecond, Pace::OnlyForMoments}) {
        HeadlessApp app(at(0, 8, 24, 0), pace);
        app.start();
        setSlot(app.form, 1, 8, 30, 0, "5", "开会"); // warning at 8:25:00
        setSlot(app.form, 2, 8, 25, 1, "0", "");     // due at 8:25:01
        std::vector<std::optional<LocalMillis>> armedWhileOpen;
        std::vector<std::string> openAtOnce;
        std::size_t open = 0;
        app.runtime.whileBoxOpen = [&](const Announcement& box) {
            ++open;
            armedWhileOpen.push_back(app.runtime.armedWakeUp);
            openAtOnce.push_back(std::to_string(open) + " " + formatHhMmSs(timeOfDayOf(box.judgedSecond)));
            if (open == 1)
                app.runUntil(at(0, 8, 25, 1, 500)); // the user reads the warning for a second and more
            --open;
            return BoxAnswer::Ok;
        };
        app.runUntil(at(0, 8, 25, 0, 500));
        const auto name = pace == Pace::EverySecond ? "every second" : "for moments";
        EXPECT_EQ(openAtOnce, (std::vector<std::string>{"1 08:25:00", "2 08:25:01"})) << name;
        ASSERT_EQ(armedWhileOpen.size(), 2u) << name;
        EXPECT_EQ(armedWhileOpen[0], at(0, 8, 25, 1, 20)) << name << ": armed before the warning's box opened";
    }
}

// A wake-up the platform will not arm must never stop the reminders silently.
TEST(WakeUpRefused, OneRefusalIsTriedAgainAtOnceAndTwoAreToldToTheUserOnce)
{
    const std::string told =
        "系统拒绝为 Tindora 设置计时器（资源不足）。在重新启动 Tindora 之前，提醒和整点报时都不会出现。";
    const struct {
        int refusals;
        int laterAttempts; // each clock change plans the wake-up anew
        std::size_t boxes;
        bool armed;
    } cases[] = {{0, 0, 0, true}, {1, 0, 0, true}, {2, 0, 1, false}, {8, 3, 1, false}, {3, 1, 1, true}};
    for (const auto& c : cases) {
        HeadlessApp app;
        app.runtime.wakeUpsToRefuse = c.refusals;
        app.start();
        for (int i = 0; i < c.laterAttempts; ++i)
            app.form.tickDriver().rearm();
        ASSERT_EQ(app.runtime.log.size(), c.boxes) << c.refusals << " refusals";
        EXPECT_EQ(app.runtime.armedWakeUp.has_value(), c.armed) << c.refusals << " refusals";
        if (c.boxes == 0)
            continue;
        EXPECT_EQ(app.runtime.log[0].text, told);
        EXPECT_EQ(app.runtime.log[0].title, "Tindora");
        EXPECT_EQ(app.runtime.log[0].style, (BoxStyle{BoxIcon::Exclamation, BoxButtons::Ok, true}));
    }
}

TEST(WakeUpRefused, OnceATimerIsArmedAgainTheRemindersComeAndANewRefusalIsToldAgain)
{
    HeadlessApp app;
    app.form.Check3.setValue(CheckBox::kChecked);
    app.runtime.wakeUpsToRefuse = 2;
    app.start();
    ASSERT_EQ(app.runtime.log.size(), 1u);
    app.runtime.clock = at(0, 0, 59, 59);
    app.form.tickDriver().rearm(); // as after a clock change: the platform takes it now
    app.runUntil(at(0, 1, 0, 1));
    ASSERT_EQ(app.runtime.log.size(), 3u) << "the hourly chime with its sound";
    EXPECT_EQ(app.runtime.log.back().title, "整点报时！");
    app.runtime.wakeUpsToRefuse = 2;
    app.form.tickDriver().rearm();
    EXPECT_EQ(app.runtime.log.size(), 4u);
}

} // namespace
} // namespace tindora

namespace tindora {
namespace {

constexpr std::int64_t kHour = 3600 * 1000;
// 2026 in New York: daylight saving begins on Sunday 8 March (2:00 EST becomes
// 3:00 EDT) and ends on Sunday 1 November (2:00 EDT becomes 1:00 EST); days
// counted from the in-memory backend's Monday, 7 December.
constexpr int kSpringForward = -274;
constexpr int kFallBack = -36;

std::vector<std::string> boxTexts(const HeadlessApp& app)
{
    std::vector<std::string> texts;
    for (const Announcement& a : app.runtime.log)
        if (a.kind == Announcement::Kind::Box)
            texts.push_back(formatHhMmSs(timeOfDayOf(a.judgedSecond)) + " " + a.text);
    return texts;
}

// The hour the clock springs over did not exist: its reminders come once, at
// the first second after the jump, and nothing of it is taken for a clock
// set by hand. A reminder whose due time was skipped comes as due (its warning
// would only repeat it); a skipped warning of a reminder still to come comes.
TEST(DaylightSaving, TheSkippedHoursRemindersComeOnceRightAfterTheJump)
{
    HeadlessApp app(at(kSpringForward, 1, 50, 0));
    app.runtime.utcOffset = -5 * kHour;
    app.start();
    app.form.Check3.userSetValue(CheckBox::kChecked);
    setSlot(app.form, 1, 2, 30, 0, "5", "半");
    setSlot(app.form, 2, 3, 2, 0, "5", "二");
    setSlot(app.form, 3, 1, 59, 30, "0", "前");
    app.runUntil(at(kSpringForward, 2, 0, 0));
    app.changeUtcOffset(-4 * kHour); // 2:00 EST is 3:00 EDT
    app.runUntil(at(kSpringForward, 3, 10, 0));
    const std::vector<std::string> expected = {
        "01:59:30 请注意：1:59:30到了！\r\n别忘了：前",
        "03:00:00 请注意：2:30:00到了！\r\n别忘了：半",
        "03:00:00 请注意：3:02:00还有5分钟就到了！\r\n别忘了：二",
        "03:00:00 请注意：3点已经到了！",
        "03:02:00 请注意：3:02:00到了！\r\n别忘了：二",
    };
    EXPECT_EQ(boxTexts(app), expected);
}

// The hour that comes twice is judged once: its reminders and its chime are
// not repeated, and the program does not wake in a loop while it repeats. A
// reminder set while it repeats, for a second still to come, rings.
TEST(DaylightSaving, TheRepeatedHoursMomentsComeOnce)
{
    HeadlessApp app(at(kFallBack, 0, 50, 0));
    app.runtime.utcOffset = -4 * kHour;
    app.start();
    app.form.Check3.userSetValue(CheckBox::kChecked);
    setSlot(app.form, 1, 1, 30, 0, "5", "会");
    app.runUntil(at(kFallBack, 2, 0, 0));
    app.changeUtcOffset(-5 * kHour); // 2:00 EDT is 1:00 EST
    const std::size_t wakeUpsBefore = app.wakeUpsFired;
    app.runUntil(at(kFallBack, 1, 5, 0));
    setSlot(app.form, 2, 1, 10, 0, "0", "新");
    app.runUntil(at(kFallBack, 1, 59, 59));
    EXPECT_LE(app.wakeUpsFired - wakeUpsBefore, 62u) << "a safety wake-up a minute, no more";
    app.runUntil(at(kFallBack, 2, 0, 30));
    const std::vector<std::string> expected = {
        "01:00:00 请注意：1点已经到了！",
        "01:25:00 请注意：1:30:00还有5分钟就到了！\r\n别忘了：会",
        "01:30:00 请注意：1:30:00到了！\r\n别忘了：会",
        "01:10:00 请注意：1:10:00到了！\r\n别忘了：新",
        "02:00:00 请注意：2点已经到了！",
    };
    EXPECT_EQ(boxTexts(app), expected);
}

// A new time zone is noticed when the platform says so, and a reminder due
// 25 s later in it comes at its second; a zone moved back repeats nothing.
TEST(TimeZoneChange, AReminderDueSoonAfterTheChangeComesAtItsSecond)
{
    HeadlessApp app(at(0, 10, 0, 0));
    app.runtime.utcOffset = 8 * kHour;
    app.start();
    setSlot(app.form, 1, 12, 0, 25, "0", "到站");
    app.runUntil(at(0, 10, 0, 0, 500));
    app.changeUtcOffset(10 * kHour, true); // 10:00 at +8 is 12:00 at +10
    app.runUntil(at(0, 12, 1, 0));
    ASSERT_EQ(boxTexts(app), (std::vector<std::string>{"12:00:25 请注意：12:00:25到了！\r\n别忘了：到站"}));

    app.changeUtcOffset(8 * kHour, true); // and back: 12:01 is 10:01 again
    app.runUntil(at(0, 12, 1, 0));
    EXPECT_EQ(boxTexts(app).size(), 1u) << "12:00:25 does not come twice";
    app.runUntil(at(1, 12, 0, 26));
    EXPECT_EQ(boxTexts(app).size(), 2u) << "and comes again the next day";
}

// The platform tells of a jump (a resume from sleep, the clock set by hand,
// a new time zone) and the driver plans anew at once, before any wake-up
// armed earlier comes: the sleep is told in one box, a moment set back over
// comes again, and the moments a new zone springs over come once right after
// the change, the next one at its own second.
TEST(TickDriver, AJumpThePlatformTellsOfIsPlannedAnewAtOnce)
{
    constexpr LocalMillis kMinute = 60 * 1000;
    struct Case {
        const char* what;
        LocalMillis from;
        std::function<void(HeadlessApp&)> jump;
        LocalMillis until;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"asleep from 8:29 to 8:39, the resume told before the wake-up armed earlier",
         at(0, 8, 29, 0),
         [](HeadlessApp& a) {
             a.passTime(a.runtime.clock + 10 * kMinute);
             a.form.tickDriver().rearm();
         },
         at(0, 8, 39, 10),
         {"08:39:01 电脑休眠期间错过了以下提醒：\r\n时间1　8:30:00　开会"}},
        {"the clock set back by hand over the due moment",
         at(0, 8, 29, 58),
         [](HeadlessApp& a) {
             a.runUntil(at(0, 8, 30, 0, 500));
             a.setClock(at(0, 8, 29, 58));
         },
         at(0, 8, 30, 1),
         {"08:30:00 请注意：8:30:00到了！\r\n别忘了：开会", "08:30:00 请注意：8:30:00到了！\r\n别忘了：开会"}},
        {"a new time zone 5 h 45 min ahead, over slot 2's 5:00:00",
         at(0, 2, 39, 57),
         [](HeadlessApp& a) {
             setSlot(a.form, 2, 5, 0, 0, "0", "早操");
             a.changeUtcOffset(a.runtime.utcOffset + (5 * 60 + 45) * kMinute, true);
         },
         at(0, 8, 25, 1),
         {"08:24:58 请注意：5:00:00到了！\r\n别忘了：早操",
          "08:25:00 请注意：8:30:00还有5分钟就到了！\r\n别忘了：开会"}},
    };
    for (const Case& c : cases) {
        HeadlessApp app(c.from);
        app.start();
        setSlot(app.form, 1, 8, 30, 0, "5", "开会");
        c.jump(app);
        app.runUntil(c.until);
        EXPECT_EQ(boxTexts(app), c.boxes) << c.what;
    }
}

// A minute typed into slot 1's picker moves its warning once it is committed,
// and the warning rings at its new second; typed alone, it moves nothing.
TEST(TickDriver, AMinuteTypedIntoAPickerRingsAtItsNewSecondOnceCommitted)
{
    for (const bool committed : {true, false}) {
        HeadlessApp app(at(0, 8, 44, 55));
        app.start();
        setSlot(app.form, 1, 8, 30, 0, "5", "开会");
        app.form.Combo3.userTypedText("50");
        if (committed)
            app.form.Combo3.userCommitted();
        app.runUntil(at(0, 8, 45, 1));
        EXPECT_EQ(boxTexts(app),
                  committed ? std::vector<std::string>{"08:45:00 请注意：8:50:00还有5分钟就到了！\r\n别忘了：开会"}
                            : std::vector<std::string>{})
            << (committed ? "committed" : "still being typed");
    }
}

} // namespace
} // namespace tindora
