#include "controls.h"

#include <gtest/gtest.h>

#include <vector>

namespace tindora {
namespace {

struct RecordingView : ControlView {
    void controlChanged(ControlChange what) override { changes.push_back(what); }
    std::vector<ControlChange> changes;
};

void fillHours(ComboBox& picker)
{
    for (int h = 0; h < 24; ++h)
        picker.AddItem(std::to_string(h));
}

TEST(ComboBox, AProgramWriteOfListIndexSelectsRaisesClickAndUpdatesTheView)
{
    ComboBox picker({"Combo2"});
    RecordingView view;
    picker.setView(&view);
    int clicks = 0;
    std::string textSeenInClick;
    picker.Click = [&] {
        ++clicks;
        textSeenInClick = picker.Text();
    };
    fillHours(picker);
    EXPECT_EQ(clicks, 0) << "appending raises nothing";
    EXPECT_EQ(picker.ListIndex(), -1);
    EXPECT_EQ(picker.Text(), "");

    EXPECT_TRUE(picker.setListIndex(8));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(textSeenInClick, "8") << "the event sees the new state";
    EXPECT_EQ(view.changes.back(), ControlChange::Selection);

    EXPECT_TRUE(picker.setListIndex(-1));
    EXPECT_EQ(picker.Text(), "");
    EXPECT_EQ(clicks, 2);

    for (int bad : {24, -2, 1000}) {
        EXPECT_FALSE(picker.setListIndex(bad));
        EXPECT_EQ(clicks, 2);
    }
}

TEST(ComboBox, UserInputRaisesItsEventsWithoutEchoingToTheView)
{
    ComboBox picker({"Combo2"});
    fillHours(picker);
    RecordingView view;
    picker.setView(&view);
    int clicks = 0, changes = 0;
    picker.Click = [&] { ++clicks; };
    picker.Change = [&] { ++changes; };

    picker.userChoseItem(7);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(picker.Text(), "7");
    EXPECT_EQ(picker.ListIndex(), 7);

    picker.userTypedText("15");
    EXPECT_EQ(clicks, 1) << "typing raises no Click";
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picker.Text(), "15");
    EXPECT_EQ(picker.ListIndex(), -1);
    EXPECT_TRUE(view.changes.empty());
}

TEST(TextBox, ChangeComesOnlyWhenTheTextChanges)
{
    TextBox lead({"Text1", 0, 0, 0, 0, "5"});
    RecordingView view;
    lead.setView(&view);
    int changes = 0;
    lead.Change = [&] { ++changes; };
    lead.setText("5");
    EXPECT_EQ(changes, 0);
    lead.setText("10");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(view.changes.size(), 1u);
    lead.userTypedText("10");
    lead.userTypedText("105");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(view.changes.size(), 1u) << "user edits are not echoed";
}

TEST(CheckBox, OnlyExactlyOneCountsAsOn)
{
    CheckBox box({"Check1", 0, 0, 0, 0, "铃声提醒", CheckBox::kChecked});
    EXPECT_TRUE(box.isOn());
    for (std::int16_t value : {std::int16_t{0}, std::int16_t{2}, std::int16_t{-1}}) {
        box.setValue(value);
        EXPECT_FALSE(box.isOn()) << value;
    }
}

} // namespace
} // namespace tindora
