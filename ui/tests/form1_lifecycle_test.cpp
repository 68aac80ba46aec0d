#include "headless_app.h"

#include <gtest/gtest.h>

#include <string>

namespace tindora {
namespace {

using headless::HeadlessApp;

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override { app.start(); }
    HeadlessApp app;
    Form1& form = app.form;
};

TEST_F(LifecycleTest, StartUpFillsThePickersInValueOrderAndSelectsNothing)
{
    for (ComboBox* hour : {&form.Combo2, &form.Combo7, &form.Combo11}) {
        ASSERT_EQ(hour->ListCount(), 24) << hour->name();
        EXPECT_EQ(hour->List(9), "9");
        EXPECT_EQ(hour->List(10), "10") << "value order, not text order";
        EXPECT_EQ(hour->ListIndex(), -1);
        EXPECT_EQ(hour->Text(), "");
    }
    for (ComboBox* picker : {&form.Combo3, &form.Combo6, &form.Combo10, &form.Combo4, &form.Combo5, &form.Combo9}) {
        ASSERT_EQ(picker->ListCount(), 60) << picker->name();
        EXPECT_EQ(picker->List(59), "59");
        EXPECT_EQ(picker->ListIndex(), -1);
    }
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.WindowState(), FormWindow::kNormal);
    EXPECT_TRUE(app.runtime.armedWakeUp) << "the clock ticks once the window is up";
    EXPECT_TRUE(app.runtime.log.empty());
}

TEST_F(LifecycleTest, MinimizingHidesTheWindowAtItsNormalSizeAndALeftClickBringsItBack)
{
    form.systemChangedWindowState(FormWindow::kMinimized);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.WindowState(), FormWindow::kNormal);
    app.trayIcon.userDid(IconEvent::LeftReleased);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.WindowState(), FormWindow::kNormal);
    EXPECT_EQ(app.settingsStore.replaceCalls, 0) << "minimizing does not save";
}

TEST_F(LifecycleTest, MinimizeToTrayHidesTheWindow)
{
    form.Command6.userPressed();
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.WindowState(), FormWindow::kNormal);
    EXPECT_FALSE(app.runtime.ended || app.runtime.quit);
    EXPECT_EQ(app.settingsStore.replaceCalls, 1);
}

TEST(LifecycleWithoutTray, WithNoIconTheWindowStaysMinimizedInsteadOfVanishing)
{
    HeadlessApp app;
    app.trayIcon.accept = false;
    app.start();
    app.form.Command6.userPressed();
    EXPECT_TRUE(app.form.Visible());
    EXPECT_EQ(app.form.WindowState(), FormWindow::kMinimized);
    app.form.systemChangedWindowState(FormWindow::kNormal);
    app.form.systemChangedWindowState(FormWindow::kMinimized);
    EXPECT_TRUE(app.form.Visible());
    EXPECT_EQ(app.form.WindowState(), FormWindow::kMinimized);
}

TEST_F(LifecycleTest, TheAboutBoxHasTwoLinesTheTitleAndTheInformationIcon)
{
    form.Command4.userPressed();
    ASSERT_EQ(app.runtime.log.size(), 1u);
    const auto& box = app.runtime.log[0];
    EXPECT_EQ(box.title, "Tindora");
    EXPECT_EQ(box.style, BoxStyle{BoxIcon::Information}) << "an OK button only, not system-modal";
    // Two lines: the program's purpose, then 13 spaces, 6 hyphens and the makers.
    EXPECT_EQ(box.text, "Tindora，可以整点报时及固定报时，有文字和音乐提醒。\r\n"
                        "             ------Tindora 开发组。");
    EXPECT_TRUE(form.Visible());
}

TEST_F(LifecycleTest, ExitRemovesTheIconAndEndsWithoutUnloading)
{
    form.Command5.userPressed();
    EXPECT_TRUE(app.runtime.ended);
    EXPECT_EQ(app.settingsStore.replaceCalls, 1);
    EXPECT_FALSE(form.isUnloaded());
    EXPECT_FALSE(app.trayIcon.added);
    EXPECT_EQ(app.trayIcon.calls.back().kind, headless::HeadlessTrayIcon::Call::Kind::Remove);
}

TEST_F(LifecycleTest, TheTrayMenuCloseItemUnloadsRemovesTheIconOnceAndQuits)
{
    app.view.whileMenuOpen = [](const Menu&) { return 0; };
    EXPECT_TRUE(app.trayIcon.userDid(IconEvent::RightReleased));
    EXPECT_TRUE(form.isUnloaded());
    EXPECT_TRUE(app.runtime.quit);
    EXPECT_EQ(app.settingsStore.replaceCalls, 2) << "once by the menu item, once by the unload";
    int deletes = 0;
    for (const auto& call : app.trayIcon.calls)
        deletes += call.kind == headless::HeadlessTrayIcon::Call::Kind::Remove;
    EXPECT_EQ(deletes, 1);
}

TEST_F(LifecycleTest, ClosingTheWindowUnloadsAndRemovesTheIcon)
{
    form.systemRequestedClose();
    EXPECT_EQ(app.settingsStore.replaceCalls, 1);
    EXPECT_TRUE(form.isUnloaded());
    EXPECT_TRUE(app.runtime.quit);
    EXPECT_FALSE(app.trayIcon.added);
}

// At the end of the session nothing may wait for an answer: what is being
// typed is committed without a box, even where it is refused (a picker's
// text that names no item, a lead too large to be a number), and a save that
// fails is told in words.
TEST_F(LifecycleTest, TheEndOfTheSessionShowsNoBoxWhateverIsBeingTyped)
{
    form.Combo2.userChoseItem(8);
    app.runtime.log.clear();
    form.Text2.userTypedText("开会");
    form.Combo3.userTypedText("77");
    form.Text1.userTypedText(std::string(400, '9'));
    app.settingsStore.replaceFault = settings::StoreError{settings::StoreErrorKind::PermissionDenied, 13};
    form.systemEndedSession();
    EXPECT_TRUE(app.runtime.log.empty()) << app.runtime.log.front().text;
    EXPECT_TRUE(form.isUnloaded());
    EXPECT_TRUE(app.runtime.quit);
    EXPECT_FALSE(app.trayIcon.added);
    EXPECT_EQ(form.Text2.Text(), "开会");
    EXPECT_EQ(form.Combo3.ListIndex(), -1);
    EXPECT_EQ(form.Text1.Text(), "5") << "the refused lead is not taken";
    ASSERT_EQ(app.runtime.toldWhileEnding.size(), 1u);
    EXPECT_EQ(app.runtime.toldWhileEnding[0].find("无法保存设置文件"), 0u) << app.runtime.toldWhileEnding[0];
}

} // namespace
} // namespace tindora
