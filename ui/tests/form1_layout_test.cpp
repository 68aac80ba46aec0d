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
        const ControlSpec& spec = kControls[i];
        EXPECT_EQ(spec.tabIndex, static_cast<int>(i)) << spec.name;
        Control* control = app.form.findControl(spec.name);
        ASSERT_NE(control, nullptr) << spec.name;
        switch (spec.kind) {
        case Kind::Label:
            EXPECT_EQ(dynamic_cast<Label*>(control)->Caption(), spec.caption);
            break;
        case Kind::ComboBox:
            EXPECT_EQ(dynamic_cast<ComboBox*>(control)->Text(), "") << spec.name;
            break;
        case Kind::TextBox:
            EXPECT_EQ(dynamic_cast<TextBox*>(control)->Text(), spec.caption) << spec.name;
            break;
        case Kind::CheckBox:
            EXPECT_EQ(dynamic_cast<CheckBox*>(control)->Caption(), spec.caption);
            EXPECT_EQ(dynamic_cast<CheckBox*>(control)->Value(), spec.initialValue) << spec.name;
            break;
        case Kind::CommandButton:
            EXPECT_EQ(dynamic_cast<CommandButton*>(control)->Caption(), spec.caption);
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
        const ControlSpec* spec = find(name);
        EXPECT_EQ(spec->left + spec->width, kClientWidthTwips - 120) << name;
    }
    EXPECT_EQ(find("Command4")->caption, "关    于");
    EXPECT_EQ(find("Command5")->caption, "退    出");
    for (const ControlSpec& spec : kControls) {
        EXPECT_LE(spec.left + spec.width, kClientWidthTwips) << spec.name;
        EXPECT_LE(spec.top + spec.height, kClientHeightTwips) << spec.name;
    }
}

} // namespace
} // namespace tindora
