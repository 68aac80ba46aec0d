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
    int clicks = 0, commits = 0;
    picker.Click = [&] { ++clicks; };
    picker.Commit = [&] { ++commits; };

    picker.userChoseItem(7);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(picker.Text(), "7");
    EXPECT_EQ(picker.ListIndex(), 7);
    EXPECT_TRUE(view.changes.empty());

    picker.userTypedText("1");
    picker.userTypedText("15");
    EXPECT_EQ(clicks, 1) << "typing raises nothing";
    EXPECT_EQ(commits, 0);
    EXPECT_EQ(picker.Text(), "7") << "what is typed is not in effect yet";
    EXPECT_EQ(picker.ListIndex(), 7);
    EXPECT_EQ(picker.typedText(), "15");
    EXPECT_TRUE(view.changes.empty());

    // Committed and taken: the handler selects the item the text names.
    picker.Commit = [&] {
        ++commits;
        picker.setListIndex(std::stoi(*picker.typedText()));
    };
    picker.userCommitted();
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(picker.Text(), "15");
    EXPECT_FALSE(picker.typedText());
    picker.userCommitted();
    EXPECT_EQ(commits, 1) << "nothing typed, nothing to commit";

    // Committed and refused (or nobody listening): dropped, and the widget
    // shows what is in effect again.
    picker.Commit = nullptr;
    picker.userTypedText("99");
    picker.userCommitted();
    EXPECT_EQ(picker.Text(), "15");
    EXPECT_EQ(picker.ListIndex(), 15);
    EXPECT_FALSE(picker.typedText());
    EXPECT_EQ(view.changes.back(), ControlChange::Selection);
}

TEST(TextBox, ChangeComesOnlyWhenTheTextInEffectChanges)
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

    lead.userTypedText("1");
    lead.userTypedText("105");
    EXPECT_EQ(changes, 1) << "typing is not in effect yet";
    EXPECT_EQ(lead.Text(), "10");
    lead.userCommitted();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(lead.Text(), "105");
    EXPECT_EQ(view.changes.size(), 1u) << "user edits are not echoed";

    lead.userTypedText("7");
    lead.userTypedText("105");
    lead.userCommitted();
    EXPECT_EQ(changes, 2) << "typed back to what it was: no change";
    lead.userTypedText("8");
    lead.setText("9");
    EXPECT_FALSE(lead.typedText()) << "a program write drops what was being typed";
    lead.userCommitted();
    EXPECT_EQ(lead.Text(), "9");
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
