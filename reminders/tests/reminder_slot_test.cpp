#include "headless_app.h"
#include "reminder_slot.h"

#include <gtest/gtest.h>

#include <string>

namespace tindora {
namespace {

using headless::HeadlessApp;

// One slot's controls, outside any window.
struct LooseSlot {
    ComboBox hour{{"hour"}}, minute{{"minute"}}, second{{"second"}};
    TextBox lead{{"lead", 0, 0, 0, 0, "5"}}, note{{"note"}};
    TimeOfDay preWarning, due;
    bool setUp = false;
    ReminderSlot slot{1, hour, minute, second, lead, note, preWarning, due, setUp};
};

TimeOfDay hms(int h, int m, int s) { return TimeOfDay::fromParts(h, m, s); }

TEST(RecomputeSlot, DerivesTheDueAndPreWarningTimes)
{
    struct Case {
        const char *hour, *minute, *second, *lead;
        TimeOfDay due, preWarning;
    };
    const std::string hugeLead(300, '9'); // finite, far beyond any calendar
    const Case cases[] = {
        {"8", "30", "0", "5", hms(8, 30, 0), hms(8, 25, 0)},
        {"0", "2", "0", "5", hms(0, 2, 0), hms(23, 57, 0)}, // the evening before
        {"8", "30", "0", "0", hms(8, 30, 0), hms(8, 30, 0)},
        {"8", "30", "0", "", hms(8, 30, 0), hms(8, 30, 0)},
        {"8", "30", "0", "abc", hms(8, 30, 0), hms(8, 30, 0)},
        {"8", "30", "0", "1440", hms(8, 30, 0), hms(8, 30, 0)}, // a whole day
        {"8", "30", "0", "4320", hms(8, 30, 0), hms(8, 30, 0)},
        {"8", "30", "0", "1445", hms(8, 30, 0), hms(8, 25, 0)}, // a day and 5 minutes
        {"23", "58", "0", "-5", hms(23, 58, 0), hms(0, 3, 0)},  // the next morning
        {"8", "30", "0", "10 min", hms(8, 30, 0), hms(8, 20, 0)},
        {"8", "30", "0", "2.4", hms(8, 30, 0), hms(8, 28, 0)},
        {"8", "30", "0", "2.6", hms(8, 30, 0), hms(8, 27, 0)},
        {"8", "30", "0", "2.5", hms(8, 30, 0), hms(8, 28, 0)}, // a half goes to the even 2
        {"8", "30", "0", "3.5", hms(8, 30, 0), hms(8, 26, 0)}, // and to the even 4
        {"07", "05", "09", "5", hms(7, 5, 9), hms(7, 0, 9)},   // typed with leading zeros
        {"", "", "", "5", hms(0, 0, 0), hms(23, 55, 0)},
        {"abc", "30", "", "5", hms(0, 30, 0), hms(0, 25, 0)}, // no number counts as 0
        {"23", "59", "59", "-1", hms(23, 59, 59), hms(0, 0, 59)},
    };
    for (const Case& c : cases) {
        LooseSlot s;
        s.hour.userTypedText(c.hour);
        s.minute.userTypedText(c.minute);
        s.second.userTypedText(c.second);
        s.lead.setText(c.lead);
        EXPECT_FALSE(recomputeSlot(s.slot)) << c.hour << ':' << c.minute << ':' << c.second << " lead " << c.lead;
        EXPECT_EQ(s.due, c.due) << c.hour << ':' << c.minute << ':' << c.second << " lead " << c.lead;
        EXPECT_EQ(s.preWarning, c.preWarning) << c.hour << ':' << c.minute << ':' << c.second << " lead " << c.lead;
    }

    LooseSlot s;
    s.hour.userTypedText("8");
    s.lead.setText(hugeLead);
    EXPECT_FALSE(recomputeSlot(s.slot)) << "any finite lead works";
    EXPECT_EQ(s.preWarning, hms(8, 0, 0).movedByMinutes(-roundHalfEven(Val(hugeLead))));
}

TEST(RecomputeSlot, ASlotIsSetUpOnlyWhileAPickerHoldsText)
{
    LooseSlot s;
    EXPECT_FALSE(recomputeSlot(s.slot));
    EXPECT_FALSE(s.setUp) << "three empty pickers";
    s.second.userTypedText("0");
    recomputeSlot(s.slot);
    EXPECT_TRUE(s.setUp);
    s.second.userTypedText("");
    recomputeSlot(s.slot);
    EXPECT_FALSE(s.setUp);
}

TEST(RecomputeSlot, AnInvalidFieldChangesNothingAndSaysWhichFieldItIs)
{
    struct Case {
        SlotField field;
        const char* text;
    };
    const Case cases[] = {
        {SlotField::Hour, "24"},   {SlotField::Hour, "7.5"},  {SlotField::Hour, "-1"},
        {SlotField::Minute, "60"}, {SlotField::Second, "99"}, {SlotField::Second, "0.5"},
    };
    for (const Case& c : cases) {
        LooseSlot s;
        s.hour.userTypedText("8");
        s.minute.userTypedText("30");
        recomputeSlot(s.slot);
        ComboBox& picker = c.field == SlotField::Hour ? s.hour : c.field == SlotField::Minute ? s.minute : s.second;
        picker.userTypedText(c.text);
        const auto error = recomputeSlot(s.slot);
        ASSERT_TRUE(error) << c.text;
        EXPECT_EQ(error->field, c.field) << c.text;
        EXPECT_EQ(error->text, c.text);
        EXPECT_EQ(s.due, hms(8, 30, 0)) << c.text;
        EXPECT_EQ(s.preWarning, hms(8, 25, 0)) << c.text;
    }

    LooseSlot s;
    s.lead.setText(std::string(400, '9'));
    const auto error = recomputeSlot(s.slot);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->field, SlotField::Lead);
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

    // Typing into a picker, or editing a note, changes no derived time.
    form.Combo2.userTypedText("15");
    form.Text2.userTypedText("开会");
    EXPECT_EQ(form.time2, hms(8, 30, 0));
    // The next trigger of the row picks the typed hour up.
    form.Combo3.userChoseItem(45);
    EXPECT_EQ(form.time2, hms(15, 45, 0));

    const struct {
        ComboBox& hour;
        TextBox& lead;
        TimeOfDay& pre;
        TimeOfDay& due;
    } rows[] = {{form.Combo7, form.Text4, form.time3, form.time4}, {form.Combo11, form.Text6, form.time5, form.time6}};
    for (const auto& row : rows) {
        row.hour.userChoseItem(9);
        row.lead.userTypedText("10");
        EXPECT_EQ(row.due, hms(9, 0, 0));
        EXPECT_EQ(row.pre, hms(8, 50, 0));
    }
    EXPECT_EQ(form.time1, hms(15, 40, 0)) << "slot 1 kept its times";
    EXPECT_EQ(form.time2, hms(15, 45, 0));

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

TEST_F(Form1Slots, ATypedOutOfRangeHourIsReportedOnceAndTheOtherSlotsAreUntouched)
{
    form.Combo2.userChoseItem(8);
    form.Combo7.userChoseItem(9);
    form.Combo2.userTypedText("24");
    EXPECT_TRUE(app.runtime.log.empty()) << "typing alone recomputes nothing";
    form.Combo3.userChoseItem(30);

    ASSERT_EQ(app.runtime.log.size(), 1u);
    const auto& box = app.runtime.log[0];
    EXPECT_EQ(box.text, describeSlotInputError(1, {SlotField::Hour, "24"}));
    EXPECT_EQ(box.title, "Tindora");
    EXPECT_EQ(box.style, BoxStyle{BoxIcon::Exclamation});
    EXPECT_EQ(form.time2, hms(8, 0, 0)) << "slot 1 keeps the times it had";
    EXPECT_EQ(form.time4, hms(9, 0, 0));
    EXPECT_FALSE(app.runtime.ended || app.runtime.quit) << "the program runs on";
}

TEST_F(Form1Slots, AChosenItemAndTheSameNumberTypedGiveTheSameTime)
{
    form.Combo2.userChoseItem(7);
    form.Text1.userTypedText("6");
    const TimeOfDay chosen = form.time2;
    form.Combo2.userTypedText("07");
    form.Text1.userTypedText("5");
    form.Text1.userTypedText("6");
    EXPECT_EQ(form.time2, chosen);
}

} // namespace
} // namespace tindora
