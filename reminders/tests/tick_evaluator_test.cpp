#include "announcements.h"
#include "headless_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tindora {
namespace {

using headless::Announcement;
using headless::at;
using headless::HeadlessApp;
using Kind = Announcement::Kind;

class TickTest : public ::testing::Test {
protected:
    void SetUp() override { app.start(); }

    void setSlot(int slot, int hour, int minute, int second, const std::string& lead = "5",
                 const std::string& note = "")
    {
        ReminderSlot& s = app.form.slots()[static_cast<std::size_t>(slot - 1)];
        s.hour.userChoseItem(hour);
        s.minute.userChoseItem(minute);
        s.second.userChoseItem(second);
        headless::typeAndCommit(s.lead, lead);
        headless::typeAndCommit(s.note, note);
    }
    // Runs the clock through one second (and the wake-up just after it).
    void runThrough(int day, int hour, int minute, int second) { app.runUntil(at(day, hour, minute, second, 999)); }
    std::vector<Announcement>& log() { return app.runtime.log; }
    static std::string kinds(const std::vector<Announcement>& entries)
    {
        std::string out;
        for (const auto& e : entries)
            out += e.kind == Kind::Sound ? 'S' : 'B';
        return out;
    }

    HeadlessApp app{at(0, 8, 0, 0)};
    Form1& form = app.form;
};

TEST_F(TickTest, ASlotWarnsAheadAndAnnouncesWhenDueWithExactTexts)
{
    setSlot(1, 8, 30, 0, "5", "开会");
    runThrough(0, 8, 30, 1);

    ASSERT_EQ(kinds(log()), "SBSB");
    EXPECT_EQ(log()[0].judgedSecond, log()[1].judgedSecond) << "the sound comes just before its box";
    EXPECT_EQ(log()[1].text, "请注意：8:30:00还有5分钟就到了！\r\n别忘了：开会");
    EXPECT_EQ(log()[1].title, "固定报时！");
    EXPECT_EQ(log()[1].style, (BoxStyle{BoxIcon::Information, BoxButtons::Ok, true, Announces::Reminder}))
        << "above all windows";
    EXPECT_EQ(timeOfDayOf(log()[1].judgedSecond), TimeOfDay::fromParts(8, 25, 0));
    EXPECT_EQ(log()[3].text, "请注意：8:30:00到了！\r\n别忘了：开会");
    EXPECT_EQ(log()[3].title, "固定报时！");
    EXPECT_EQ(log()[3].style, (BoxStyle{BoxIcon::Exclamation, BoxButtons::Ok, true, Announces::Reminder}));
    EXPECT_EQ(timeOfDayOf(log()[3].judgedSecond), TimeOfDay::fromParts(8, 30, 0));

    // The exact bytes: full-width colon EF BC 9A, full-width exclamation EF BC 81, CR LF.
    const std::string expectedBytes = "\xE8\xAF\xB7\xE6\xB3\xA8\xE6\x84\x8F\xEF\xBC\x9A"
                                      "8:30:00\xE5\x88\xB0\xE4\xBA\x86\xEF\xBC\x81\r\n"
                                      "\xE5\x88\xAB\xE5\xBF\x98\xE4\xBA\x86\xEF\xBC\x9A"
                                      "\xE5\xBC\x80\xE4\xBC\x9A";
    EXPECT_EQ(log()[3].text, expectedBytes);

    // The next day, the same again.
    log().clear();
    runThrough(1, 8, 30, 1);
    EXPECT_EQ(kinds(log()), "SBSB");
}

TEST_F(TickTest, TheOptionsDecideSoundAndBoxesIndependently)
{
    struct Case {
        std::int16_t sound, fixedTime, hourly;
        const char* expected; // for a due moment at 9:30:00 and the full hour 10:00:00
    };
    const Case cases[] = {
        {1, 1, 0, "SB"},   {1, 0, 0, "S"}, {0, 1, 0, "B"},   {0, 0, 0, ""},
        {1, 1, 1, "SBSB"}, {0, 0, 1, "B"}, {1, 0, 1, "SSB"}, {2, 1, 1, "BB"}, // only exactly 1 is on
    };
    for (const Case& c : cases) {
        HeadlessApp a{at(0, 9, 29, 50)};
        a.start();
        a.form.Combo2.userChoseItem(9);
        a.form.Combo3.userChoseItem(30);
        headless::typeAndCommit(a.form.Text1, "0");
        a.form.Check1.userSetValue(c.sound);
        a.form.Check2.userSetValue(c.fixedTime);
        a.form.Check3.userSetValue(c.hourly);
        a.runUntil(at(0, 10, 0, 1));
        EXPECT_EQ(kinds(a.runtime.log), c.expected) << c.sound << c.fixedTime << c.hourly;
    }
}

// A warning that falls on its own slot's due second is no warning: the
// reminder is due, and its due box is what comes.
TEST_F(TickTest, ALeadThatLandsOnTheDueTimeShowsOnlyTheDueBox)
{
    for (const char* lead : {"0", "", "abc", "1440"}) {
        HeadlessApp a{at(0, 8, 0, 0)};
        a.start();
        a.form.Combo2.userChoseItem(8);
        a.form.Combo3.userChoseItem(30);
        headless::typeAndCommit(a.form.Text1, lead);
        a.runUntil(at(0, 9, 0, 0));
        ASSERT_EQ(kinds(a.runtime.log), "SB") << lead;
        EXPECT_EQ(a.runtime.log[1].text, "请注意：8:30:00到了！\r\n别忘了：") << lead;
        EXPECT_EQ(a.runtime.log[1].style, announcement::kDueStyle) << lead;
    }
}

TEST_F(TickTest, AFractionalLeadMovesByWholeMinutesAndTheWarningSaysSo)
{
    setSlot(1, 8, 30, 0, "2.6");
    runThrough(0, 8, 27, 0);
    ASSERT_EQ(kinds(log()), "SB");
    EXPECT_EQ(timeOfDayOf(log()[1].judgedSecond), TimeOfDay::fromParts(8, 27, 0));
    EXPECT_EQ(log()[1].text, "请注意：8:30:00还有3分钟就到了！\r\n别忘了：");
    EXPECT_EQ(form.Text1.Text(), "3") << "the field shows the lead in effect";
    headless::typeAndCommit(form.Text1, "05");
    runThrough(1, 8, 25, 0);
    EXPECT_EQ(log().back().text, "请注意：8:30:00还有5分钟就到了！\r\n别忘了：");
}

TEST_F(TickTest, EveryMomentOfASecondIsAnnouncedInSlotOrder)
{
    setSlot(1, 9, 0, 0, "5", "一");
    setSlot(2, 9, 0, 0, "30", "二");
    setSlot(3, 9, 5, 0, "5", "三"); // its warning falls on slot 1's due time
    runThrough(0, 9, 0, 0);
    std::vector<std::string> texts;
    for (const auto& e : log())
        if (e.kind == Kind::Box)
            texts.push_back(e.text);
    const std::vector<std::string> expected = {
        "请注意：9:00:00还有30分钟就到了！\r\n别忘了：二", // 8:30, slot 2's warning
        "请注意：9:00:00还有5分钟就到了！\r\n别忘了：一",  // 8:55, slot 1's warning
        "请注意：9:00:00到了！\r\n别忘了：一",             // 9:00: slot 1 is due,
        "请注意：9:00:00到了！\r\n别忘了：二",             // slot 2 is due,
        "请注意：9:05:00还有5分钟就到了！\r\n别忘了：三",  // and slot 3 is 5 minutes away
    };
    EXPECT_EQ(texts, expected);
}

TEST_F(TickTest, TheHourlyChimeNamesTheHour)
{
    form.Check3.userSetValue(1);
    app.runUntil(at(0, 14, 0, 0, 999));
    std::vector<std::string> texts;
    for (const auto& e : log())
        if (e.kind == Kind::Box) {
            texts.push_back(e.text);
            EXPECT_EQ(e.title, "整点报时！");
            EXPECT_EQ(e.style, (BoxStyle{BoxIcon::Information, BoxButtons::Ok, true, Announces::FullHour}));
        }
    const std::vector<std::string> expected = {"请注意：9点已经到了！",  "请注意：10点已经到了！",
                                               "请注意：11点已经到了！", "请注意：12点已经到了！",
                                               "请注意：13点已经到了！", "请注意：14点已经到了！"};
    EXPECT_EQ(texts, expected);
    log().clear();
    app.runUntil(at(1, 0, 0, 0, 999));
    EXPECT_EQ(log().back().text, "请注意：0点已经到了！");
}

TEST_F(TickTest, AnHourlyChimeFollowsADueBoxThatStaysOpenPastTheSecond)
{
    setSlot(1, 10, 0, 0, "0", "周会");
    form.Check3.userSetValue(1);
    app.runUntil(at(0, 9, 59, 59, 999));
    log().clear();

    // The user reads the due box for five seconds; ticks go on meanwhile.
    bool first = true;
    app.runtime.whileBoxOpen = [&](const Announcement&) {
        if (first) {
            first = false;
            app.runUntil(at(0, 10, 0, 5, 500));
        }
        return BoxAnswer::Ok;
    };
    app.runUntil(at(0, 10, 0, 6));
    ASSERT_EQ(kinds(log()), "SBSB");
    EXPECT_EQ(log()[1].text, "请注意：10:00:00到了！\r\n别忘了：周会");
    EXPECT_EQ(log()[3].text, "请注意：10点已经到了！");
    EXPECT_EQ(timeOfDayOf(log()[3].judgedSecond), TimeOfDay::fromParts(10, 0, 0)) << "judged as the tick's second";
}

TEST_F(TickTest, AMomentThatComesWhileABoxIsOpenStacksAnotherBox)
{
    setSlot(1, 8, 30, 0, "0", "一");
    setSlot(2, 8, 31, 0, "0", "二");
    std::vector<std::size_t> openAtOnce;
    std::size_t open = 0;
    app.runtime.whileBoxOpen = [&](const Announcement&) {
        ++open;
        openAtOnce.push_back(open);
        if (open == 1)
            app.runUntil(at(0, 8, 31, 0, 500)); // the user leaves the box open for a minute
        --open;
        return BoxAnswer::Ok;
    };
    app.runUntil(at(0, 8, 30, 0, 500));
    EXPECT_EQ(openAtOnce, (std::vector<std::size_t>{1, 2})) << "the 8:31 warning opened over the 8:30 box";
}

TEST_F(TickTest, ANeverSetUpSlotStaysSilentAtMidnight)
{
    headless::typeAndCommit(form.Text1, "10"); // recomputes slot 1 with all pickers empty
    form.Check3.userSetValue(0);
    app.runUntil(at(1, 0, 0, 30));
    EXPECT_TRUE(log().empty()) << kinds(log());
}

TEST_F(TickTest, OptionsSwitchedWhileRunningApplyFromTheNextTick)
{
    setSlot(1, 8, 30, 0);
    form.Check2.userSetValue(0);
    runThrough(0, 8, 25, 0);
    EXPECT_EQ(kinds(log()), "S");
    form.Check2.userSetValue(1);
    form.Check1.userSetValue(0);
    runThrough(0, 8, 30, 0);
    EXPECT_EQ(kinds(log()), "SB");
}

TEST(TickPace, EverySecondIsJudgedOnceWhenWakeUpsComeLateOrNest)
{
    // Paced every second, each second gets its tick; paced for moments, only
    // the seconds that can announce do, the others are judged without one.
    for (const auto pace : {TickScheduler::Pace::EverySecond, TickScheduler::Pace::OnlyForMoments}) {
        HeadlessApp app{at(0, 8, 0, 0), pace};
        Form1& form = app.form;
        app.start();
        std::vector<LocalSecond> judged;
        form.Timer1.TimerEvent = [&] {
            judged.push_back(form.clock().now());
            form.Timer1_Timer();
        };
        form.Combo2.userChoseItem(8);
        form.Combo3.userChoseItem(0);
        form.Combo4.userChoseItem(10);
        headless::typeAndCommit(form.Text1, "0");
        int boxes = 0;
        app.runtime.whileBoxOpen = [&](const Announcement&) {
            if (++boxes == 1)
                app.runUntil(at(0, 8, 0, 14, 300), 250); // late wake-ups while the box is open
            return BoxAnswer::Ok;
        };
        app.runUntil(at(0, 8, 0, 3, 0), 700);
        app.wakeAt(at(0, 8, 0, 9, 100)); // six seconds late
        app.runUntil(at(0, 8, 0, 20, 0));
        std::vector<LocalSecond> expected;
        if (pace == TickScheduler::Pace::EverySecond) {
            for (LocalSecond s = secondOf(at(0, 8, 0, 1)); s <= secondOf(at(0, 8, 0, 19)); ++s)
                expected.push_back(s);
        } else {
            expected.push_back(secondOf(at(0, 8, 0, 10)));
        }
        EXPECT_EQ(judged, expected);
        EXPECT_EQ(boxes, 1);
    }
}

} // namespace
} // namespace tindora
