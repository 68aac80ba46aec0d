#include "form1_layout.h"
#include "headless_app.h"

#include <gtest/gtest.h>

#include <vector>

namespace tindora {
namespace {

using namespace layout;

// What each kind of control shows before the program writes anything.
void expectShowsItsDesign(const Label& label) { EXPECT_EQ(label.Caption(), label.design().caption); }
void expectShowsItsDesign(const CommandButton& button) { EXPECT_EQ(button.Caption(), button.design().caption); }
void expectShowsItsDesign(const TextBox& text) { EXPECT_EQ(text.Text(), text.design().caption) << text.name(); }
void expectShowsItsDesign(const ComboBox& picker)
{
    EXPECT_EQ(picker.Text(), "") << picker.name();
    EXPECT_EQ(picker.ListIndex(), -1) << picker.name();
}
void expectShowsItsDesign(const CheckBox& option)
{
    EXPECT_EQ(option.Caption(), option.design().caption);
    EXPECT_EQ(option.Value(), option.design().value) << option.name();
}
void expectShowsItsDesign(const OleContainer& container) { EXPECT_EQ(container.Class(), "SoundRec"); }

ControlDesign designOf(const Form1& form, std::string_view name)
{
    ControlDesign found;
    form.controls().forEach([&](const Control& control) {
        if (control.name() == name)
            found = control.design();
    });
    return found;
}

TEST(Form1Layout, TheControlsAreInTabOrderAndEachShowsItsDesign)
{
    headless::HeadlessApp app;
    std::vector<std::string_view> names;
    app.form.controls().forEach([&](const auto& control) {
        names.push_back(control.name());
        expectShowsItsDesign(control);
    });
    const std::vector<std::string_view> tabOrder = {
        "Label1", "Combo2", "Combo3", "Combo4", "Text1",    "Text2",    "Check1",  "Combo7",
        "Combo6", "Combo5", "Text4",  "Text3",  "Check2",   "Combo11",  "Combo10", "Combo9",
        "Text6",  "Text5",  "Check3", "Label2", "Label3",   "Label4",   "Label5",  "Label6",
        "Label7", "Label8", "Label9", "OLE1",   "Command4", "Command6", "Command5"};
    EXPECT_EQ(names, tabOrder);
    EXPECT_EQ(app.form.Check1.Value(), 1);
    EXPECT_EQ(app.form.Check2.Value(), 1);
    EXPECT_EQ(app.form.Check3.Value(), 0);
    EXPECT_EQ(app.form.Caption(), "Tindora1.0");
    EXPECT_EQ(app.form.mnuTray.Caption(), "右键菜单");
}

TEST(Form1Layout, TheWindowIs681By110PixelsAt96DpiWithMatchingMargins)
{
    EXPECT_EQ(twipsToPixels(kClientWidthTwips, 96), 681);
    EXPECT_EQ(twipsToPixels(kClientHeightTwips, 96), 110);
    EXPECT_EQ(twipsToPixels(kClientWidthTwips, 144), 1022);
    headless::HeadlessApp app;
    for (std::string_view name : {"Text2", "Text3", "Text5", "Command5"}) {
        const ControlDesign design = designOf(app.form, name);
        EXPECT_EQ(design.left + design.width, kClientWidthTwips - 120) << name;
    }
    EXPECT_EQ(designOf(app.form, "Command4").caption, "关    于");
    EXPECT_EQ(designOf(app.form, "Command5").caption, "退    出");
    app.form.controls().forEach([](const Control& control) {
        const ControlDesign& design = control.design();
        EXPECT_LE(design.left + design.width, kClientWidthTwips) << design.name;
        EXPECT_LE(design.top + design.height, kClientHeightTwips) << design.name;
    });
}

} // namespace
} // namespace tindora
