#include "headless_app.h"
#include "reminder_slot.h"

#include <gtest/gtest.h>

#include <string>

namespace tindora {
namespace {

using headless::HeadlessApp;

// One slot's controls, outside any window; the pickers hold the lists the
// window gives them.
struct LooseSlot {
    LooseSlot()
    {
        for (int i = 0; i < 60; ++i) {
            if (i < 24)
                hour.AddItem(std::to_string(i));
            minute.AddItem(std::to_string(i));
            second.AddItem(std::to_string(i));
        }
    }
    ComboBox hour{{"hour"}}, minute{{"minute"}}, second{{"second"}};
    TextBox lead{{"lead", 0, 0, 0, 0, "5"}}, note{{"note"}};
    TimeOfDay preWarning, due;
    double leadMinutes = 0;
    bool setUp = false;
    ReminderSlot slot{1, hour, minute, second, lead, note, preWarning, due, leadMinutes, setUp};
};

TimeOfDay hms(int h, int m, int s) { return TimeOfDay::fromParts(h, m, s); }

TEST(RecomputeSlot, DerivesTheDueAndPreWarningTimesAndTheLeadInWholeMinutes)
{
    struct Case {
        int hour, minute, second; // the items selected, -1 for none
        const char* lead;
        TimeOfDay due, preWarning;
        double leadMinutes;
    };
    const std::string hugeLead(300, '9'); // finite, far beyond any calendar
    const Case cases[] = {
        {8, 30, 0, "5", hms(8, 30, 0), hms(8, 25, 0), 5},
        {0, 2, 0, "5", hms(0, 2, 0), hms(23, 57, 0), 5}, // the evening before
        {8, 30, 0, "0", hms(8, 30, 0), hms(8, 30, 0), 0},
        {8, 30, 0, "", hms(8, 30, 0), hms(8, 30, 0), 0},
        {8, 30, 0, "abc", hms(8, 30, 0), hms(8, 30, 0), 0},
        {8, 30, 0, "1440", hms(8, 30, 0), hms(8, 30, 0), 1440}, // a whole day
        {8, 30, 0, "4320", hms(8, 30, 0), hms(8, 30, 0), 4320},
        {8, 30, 0, "1445", hms(8, 30, 0), hms(8, 25, 0), 1445}, // a day and 5 minutes
        {23, 58, 0, "-5", hms(23, 58, 0), hms(0, 3, 0), -5},    // the next morning
        {8, 30, 0, "10 min", hms(8, 30, 0), hms(8, 20, 0), 10},
        {8, 30, 0, "2.4", hms(8, 30, 0), hms(8, 28, 0), 2},
        {8, 30, 0, "2.6", hms(8, 30, 0), hms(8, 27, 0), 3},
        {8, 30, 0, "2.5", hms(8, 30, 0), hms(8, 28, 0), 2}, // a half goes to the even 2
        {8, 30, 0, "3.5", hms(8, 30, 0), hms(8, 26, 0), 4}, // and to the even 4
        {8, 30, 0, "-0.2", hms(8, 30, 0), hms(8, 30, 0), 0},
        {-1, -1, -1, "5", hms(0, 0, 0), hms(23, 55, 0), 5},
        {-1, 30, -1, "5", hms(0, 30, 0), hms(0, 25, 0), 5}, // no item counts as 0
        {23, 59, 59, "-1", hms(23, 59, 59), hms(0, 0, 59), -1},
    };
    for (const Case& c : cases) {
        LooseSlot s;
        s.hour.setListIndex(c.hour);
        s.minute.setListIndex(c.minute);
        s.second.setListIndex(c.second);
        s.lead.setText(c.lead);
        const std::string what = std::to_string(c.hour) + ':' + std::to_string(c.minute) + ':' +
                                 std::to_string(c.second) + " lead " + c.lead;
        EXPECT_FALSE(recomputeSlot(s.slot)) << what;
        EXPECT_EQ(s.due, c.due) << what;
        EXPECT_EQ(s.preWarning, c.preWarning) << what;
        EXPECT_EQ(numberToText(s.leadMinutes), numberToText(c.leadMinutes)) << what << ", shown as the box shows it";
    }

    LooseSlot s;
    s.hour.setListIndex(8);
    s.lead.setText(hugeLead);
    EXPECT_FALSE(recomputeSlot(s.slot)) << "any finite lead works";
    EXPECT_EQ(s.preWarning, hms(8, 0, 0).movedByMinutes(-roundHalfEven(Val(hugeLead))));
}

TEST(RecomputeSlot, ASlotIsSetUpOnlyWhileAPickerHasAnItem)
{
    LooseSlot s;
    EXPECT_FALSE(recomputeSlot(s.slot));
    EXPECT_FALSE(s.setUp) << "three empty pickers";
    s.second.setListIndex(0);
    recomputeSlot(s.slot);
    EXPECT_TRUE(s.setUp);
    s.second.userTypedText("5");
    s.second.setListIndex(-1);
    recomputeSlot(s.slot);
    EXPECT_FALSE(s.setUp);
}

TEST(RecomputeSlot, ALeadTooLargeForANumberChangesNothing)
{
    LooseSlot s;
    s.hour.setListIndex(8);
    s.minute.setListIndex(30);
    recomputeSlot(s.slot);
    s.lead.setText(std::string(400, '9'));
    const auto error = recomputeSlot(s.slot);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->field, SlotField::Lead);
    EXPECT_EQ(s.due, hms(8, 30, 0));
    EXPECT_EQ(s.preWarning, hms(8, 25, 0));
    EXPECT_EQ(s.leadMinutes, 5);
}

// A picker takes a whole number in its range however it is typed, and
// nothing else: what it shows is always a time that can ring.
TEST(PickerItemOf, WholeNumbersInRangeHoweverWrittenAndNothingElse)
{
    struct Case {
        const char* typed;
        int largest;
        std::optional<int> item;
    };
    const Case cases[] = {
        {"5", 59, 5},     {"05", 59, 5},   {"5.0", 59, 5},  {" 5", 59, 5},
        {"5 ", 59, 5},    {"+5", 59, 5},   {"5.", 59, 5},   {"0", 23, 0},
        {"23", 23, 23},   {"", 23, -1},    {"  ", 23, -1},  {"24", 23, {}},
        {"60", 59, {}},   {"-1", 59, {}},  {"4.5", 23, {}}, {"abc", 23, {}},
        {"5abc", 59, {}}, {"5 5", 59, {}}, {".", 59, {}},   {"-0.5", 59, {}},
        {"1e1", 59, {}},  {"七", 23, {}},  {"0x5", 59, {}}, {"99999999999999999999", 59, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pickerItemOf(c.typed, c.largest), c.item) << "\"" << c.typed << "\"";
}

TEST(RecomputeSlot, TheMessagesNameTheSlotTheFieldAndTheText)
{
    EXPECT_EQ(describeSlotInputError(1, {SlotField::Hour, "24"}),
              "时间1的“时”填的是“24”，这不是有效的小时，请填 0 到 23 之间的整数。这一组提醒仍按原来的时间进行。");
    EXPECT_EQ(describeSlotInputError(3, {SlotField::Second, "60"}),
              "时间3的“秒”填的是“60”，这不是有效的秒数，请填 0 到 59 之间的整数。这一组提醒仍按原来的时间进行。");
    EXPECT_NE(describeSlotInputError(2, {SlotField::Lead, "999"}).find("时间2的提前分钟数“999”"), std::string::npos);
}

class Form1Slots : public ::testing::Test {
protected:
    void SetUp() override { app.start(); }
    HeadlessApp app;
    Form1& form = app.form;
};

TEST_F(Form1Slots, EachTriggerRecomputesOnlyItsOwnSlot)
{
    form.Combo2.userChoseItem(8);
    form.Combo3.userChoseItem(30);
    form.Combo4.userChoseItem(0);
    EXPECT_EQ(form.time2, hms(8, 30, 0));
    EXPECT_EQ(form.time1, hms(8, 25, 0));

    // Typing into a picker, or editing a note, changes no derived time until
    // it is committed.
    form.Combo2.userTypedText("15");
    form.Text2.userTypedText("开会");
    EXPECT_EQ(form.time2, hms(8, 30, 0));
    form.Combo2.userCommitted();
    EXPECT_EQ(form.time2, hms(15, 30, 0));

    const struct {
        ComboBox& hour;
        TextBox& lead;
        TimeOfDay& pre;
        TimeOfDay& due;
    } rows[] = {{form.Combo7, form.Text4, form.time3, form.time4}, {form.Combo11, form.Text6, form.time5, form.time6}};
    for (const auto& row : rows) {
        row.hour.userChoseItem(9);
        headless::typeAndCommit(row.lead, "10");
        EXPECT_EQ(row.due, hms(9, 0, 0));
        EXPECT_EQ(row.pre, hms(8, 50, 0));
    }
    EXPECT_EQ(form.time1, hms(15, 25, 0)) << "slot 1 kept its times";
    EXPECT_EQ(form.time2, hms(15, 30, 0));

    // Every slot control whose event recomputes: the picker Clicks and lead Changes.
    for (ComboBox* picker : {&form.Combo7, &form.Combo6, &form.Combo5}) {
        form.time4 = TimeOfDay{};
        picker->userChoseItem(1);
        EXPECT_NE(form.time4, TimeOfDay{}) << picker->name();
    }
    for (ComboBox* picker : {&form.Combo11, &form.Combo10, &form.Combo9}) {
        form.time6 = TimeOfDay{};
        picker->userChoseItem(2);
        EXPECT_NE(form.time6, TimeOfDay{}) << picker->name();
    }
}

// What the window shows as in effect is what rings and what the file holds:
// a committed picker text takes effect at once, or is refused with a box and
// the picker goes back; text still being typed changes nothing.
TEST_F(Form1Slots, ACommittedPickerTextTakesEffectOrIsRefusedAndPutBack)
{
    struct Case {
        const char* picker;
        const char* typed;
        bool commit;
        const char* shown;     // the picker's text afterwards
        TimeOfDay due;         // slot 1's due time afterwards
        const char* boxField;  // the field the box names, or nothing
        const char* savedLine; // slot 1's line in time.txt afterwards
    };
    const Case cases[] = {
        {"Combo3", "5", true, "5", hms(8, 5, 0), nullptr, "\"8\",\"5\",\"0\",\"5\",\"\""},
        {"Combo3", "05", true, "5", hms(8, 5, 0), nullptr, "\"8\",\"5\",\"0\",\"5\",\"\""},
        {"Combo3", "5.0", true, "5", hms(8, 5, 0), nullptr, "\"8\",\"5\",\"0\",\"5\",\"\""},
        {"Combo3", " 5", true, "5", hms(8, 5, 0), nullptr, "\"8\",\"5\",\"0\",\"5\",\"\""},
        {"Combo4", "", true, "", hms(8, 30, 0), nullptr, "\"8\",\"30\",\"\",\"5\",\"\""},
        {"Combo2", "24", true, "8", hms(8, 30, 0), "时", "\"8\",\"30\",\"0\",\"5\",\"\""},
        {"Combo3", "60", true, "30", hms(8, 30, 0), "分", "\"8\",\"30\",\"0\",\"5\",\"\""},
        {"Combo4", "-1", true, "0", hms(8, 30, 0), "秒", "\"8\",\"30\",\"0\",\"5\",\"\""},
        {"Combo2", "4.5", true, "8", hms(8, 30, 0), "时", "\"8\",\"30\",\"0\",\"5\",\"\""},
        {"Combo3", "1", false, "30", hms(8, 30, 0), nullptr, "\"8\",\"30\",\"0\",\"5\",\"\""},
    };
    for (const Case& c : cases) {
        HeadlessApp run;
        run.start();
        run.form.Combo2.userChoseItem(8);
        run.form.Combo3.userChoseItem(30);
        run.form.Combo4.userChoseItem(0);
        run.runtime.log.clear();
        ComboBox* picker = nullptr;
        for (ComboBox* each : {&run.form.Combo2, &run.form.Combo3, &run.form.Combo4})
            if (each->name() == c.picker)
                picker = each;
        picker->userTypedText(c.typed);
        if (c.commit)
            picker->userCommitted();
        const std::string what = std::string(c.picker) + " \"" + c.typed + "\"";
        EXPECT_EQ(picker->Text(), c.shown) << what;
        EXPECT_EQ(picker->typedText().has_value(), !c.commit) << what;
        EXPECT_EQ(run.form.time2, c.due) << what;
        if (c.boxField) {
            ASSERT_EQ(run.runtime.log.size(), 1u) << what;
            EXPECT_EQ(run.runtime.log[0].text, "时间1的“" + std::string(c.boxField) + "”填的是“" + c.typed + "”" +
                                                   run.runtime.log[0].text.substr(run.runtime.log[0].text.find("，")))
                << what;
        } else {
            EXPECT_TRUE(run.runtime.log.empty()) << what;
        }
        EXPECT_EQ(run.settingsStore.file()->substr(0, run.settingsStore.file()->find('\r')), c.savedLine)
            << what << ": saved at the commit";
    }
}

TEST_F(Form1Slots, ATypedOutOfRangeHourIsReportedOnceAndTheOtherSlotsAreUntouched)
{
    form.Combo2.userChoseItem(8);
    form.Combo7.userChoseItem(9);
    form.Combo2.userTypedText("24");
    form.Combo3.userChoseItem(30);
    EXPECT_TRUE(app.runtime.log.empty()) << "typing alone tells nothing";
    EXPECT_EQ(form.time2, hms(8, 30, 0)) << "and takes no effect";
    form.Combo2.userCommitted();

    ASSERT_EQ(app.runtime.log.size(), 1u);
    const auto& box = app.runtime.log[0];
    EXPECT_EQ(box.text, describeSlotInputError(1, {SlotField::Hour, "24"}));
    EXPECT_EQ(box.title, "Tindora");
    EXPECT_EQ(box.style, BoxStyle{BoxIcon::Exclamation});
    EXPECT_EQ(form.Combo2.Text(), "8") << "the picker shows the hour in effect again";
    EXPECT_EQ(form.time2, hms(8, 30, 0)) << "slot 1 keeps the times it had";
    EXPECT_EQ(form.time4, hms(9, 0, 0));
    EXPECT_FALSE(app.runtime.ended || app.runtime.quit) << "the program runs on";
}

TEST_F(Form1Slots, AChosenItemAndTheSameNumberTypedGiveTheSameTime)
{
    form.Combo2.userChoseItem(7);
    headless::typeAndCommit(form.Text1, "6");
    const TimeOfDay chosen = form.time2;
    headless::typeAndCommit(form.Combo2, "07");
    headless::typeAndCommit(form.Text1, "5");
    headless::typeAndCommit(form.Text1, "6");
    EXPECT_EQ(form.time2, chosen);
    EXPECT_EQ(form.Combo2.ListIndex(), 7);
}

// The lead a warning states is the lead in effect, the whole minutes by which
// it comes ahead, and the field and the file say the same.
TEST_F(Form1Slots, TheLeadFieldTheWarningAndTheFileAgreeOnTheWholeMinutes)
{
    form.Combo2.userChoseItem(8);
    form.Combo3.userChoseItem(30);
    form.Combo4.userChoseItem(0);
    const struct {
        const char* typed;
        const char* shown;
        TimeOfDay warning;
    } cases[] = {{"2.6", "3", hms(8, 27, 0)},
                 {"05", "5", hms(8, 25, 0)},
                 {"", "0", hms(8, 30, 0)},
                 {"abc", "0", hms(8, 30, 0)},
                 {"10 min", "10", hms(8, 20, 0)}};
    for (const auto& c : cases) {
        headless::typeAndCommit(form.Text1, c.typed);
        EXPECT_EQ(form.Text1.Text(), c.shown) << c.typed;
        EXPECT_EQ(form.time1, c.warning) << c.typed;
        EXPECT_EQ(app.settingsStore.file()->substr(0, app.settingsStore.file()->find('\r')),
                  std::string("\"8\",\"30\",\"0\",\"") + c.shown + "\",\"\"")
            << c.typed;
    }
    // A lead too large for a number: refused, and the field shows the lead in
    // effect; in a slot never set, the design's 5.
    headless::typeAndCommit(form.Text4, std::string(400, '9'));
    EXPECT_EQ(form.Text4.Text(), "5");
    headless::typeAndCommit(form.Text1, "7");
    headless::typeAndCommit(form.Text1, std::string(400, '9'));
    EXPECT_EQ(form.Text1.Text(), "7");
    EXPECT_EQ(form.time1, hms(8, 23, 0));
    ASSERT_FALSE(app.runtime.log.empty());
    EXPECT_NE(app.runtime.log.back().text.find("提前分钟数"), std::string::npos);
}

} // namespace
} // namespace tindora
