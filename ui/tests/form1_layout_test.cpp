#include "form1_layout.h"
#include "headless_app.h"

#include <gtest/gtest.h>

namespace tindora {
namespace {

using namespace layout;

TEST(Form1Layout, TheTableIsInTabOrderAndEveryControlExistsWithItsKind)
{
    headless::HeadlessApp app;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& entry = kControls[i];
        EXPECT_EQ(entry.tabIndex, static_cast<int>(i)) << entry.name;
        Control* control = app.form.findControl(entry.name);
        ASSERT_NE(control, nullptr) << entry.name;
        switch (entry.kind) {
        case Kind::Label:
            EXPECT_EQ(dynamic_cast<Label*>(control)->Caption(), entry.caption);
            break;
        case Kind::ComboBox:
            EXPECT_EQ(dynamic_cast<ComboBox*>(control)->Text(), "") << entry.name;
            break;
        case Kind::TextBox:
            EXPECT_EQ(dynamic_cast<TextBox*>(control)->Text(), entry.caption) << entry.name;
            break;
        case Kind::CheckBox:
            EXPECT_EQ(dynamic_cast<CheckBox*>(control)->Caption(), entry.caption);
            EXPECT_EQ(dynamic_cast<CheckBox*>(control)->Value(), entry.initialValue) << entry.name;
            break;
        case Kind::CommandButton:
            EXPECT_EQ(dynamic_cast<CommandButton*>(control)->Caption(), entry.caption);
            break;
        case Kind::OleContainer:
            EXPECT_EQ(dynamic_cast<OleContainer*>(control)->Class(), "SoundRec");
            break;
        }
    }
    EXPECT_EQ(app.form.Caption(), "Tindora1.0");
    EXPECT_EQ(app.form.Timer1.Interval(), 1000);
    EXPECT_TRUE(app.form.Timer1.Enabled());
    EXPECT_EQ(app.form.mnuTray.Caption(), "右键菜单");
}

TEST(Form1Layout, TheWindowIs681By110PixelsAt96DpiWithMatchingMargins)
{
    EXPECT_EQ(twipsToPixels(kClientWidthTwips, 96), 681);
    EXPECT_EQ(twipsToPixels(kClientHeightTwips, 96), 110);
    EXPECT_EQ(twipsToPixels(kClientWidthTwips, 144), 1022);
    for (std::string_view name : {"Text2", "Text3", "Text5", "Command5"}) {
        const ControlSpec* entry = find(name);
        EXPECT_EQ(entry->left + entry->width, kClientWidthTwips - 120) << name;
    }
    EXPECT_EQ(find("Command4")->caption, "关    于");
    EXPECT_EQ(find("Command5")->caption, "退    出");
    for (const ControlSpec& entry : kControls) {
        EXPECT_LE(entry.left + entry.width, kClientWidthTwips) << entry.name;
        EXPECT_LE(entry.top + entry.height, kClientHeightTwips) << entry.name;
    }
}

} // namespace
} // namespace tindora
