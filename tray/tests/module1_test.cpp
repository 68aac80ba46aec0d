#include "headless_app.h"
#include "module1.h"

#include <gtest/gtest.h>

namespace tindora {
namespace {

using headless::HeadlessApp;
using headless::HeadlessTrayIcon;
using Call = HeadlessTrayIcon::Call;

class TrayModule : public ::testing::Test {
protected:
    void SetUp() override { app.start(); }
    HeadlessApp app;
    HeadlessTrayIcon& icon = app.trayIcon;
};

TEST_F(TrayModule, StartUpShowsTheIconAndThenGivesItItsTip)
{
    ASSERT_EQ(icon.calls.size(), 2u);
    EXPECT_EQ(icon.calls[0].kind, Call::Kind::Show);
    EXPECT_EQ(icon.calls[0].tip, "") << "no tip yet";
    EXPECT_EQ(icon.calls[1].kind, Call::Kind::SetTip);
    EXPECT_EQ(icon.calls[1].tip, "Tindora");
    EXPECT_TRUE(app.form.trayModule().iconShown());
}

TEST_F(TrayModule, ALeftReleaseTogglesTheWindowAndIsLeftToThePlatform)
{
    ASSERT_TRUE(app.form.Visible());
    EXPECT_FALSE(icon.userDid(IconEvent::LeftReleased));
    EXPECT_FALSE(app.form.Visible());
    EXPECT_FALSE(icon.userDid(IconEvent::LeftReleased));
    EXPECT_TRUE(app.form.Visible());
}

TEST_F(TrayModule, ARightReleasePopsTheMenuUpAndIsConsumed)
{
    const Menu* shown = nullptr;
    app.view.whileMenuOpen = [&](const Menu& menu) {
        shown = &menu;
        // A second right click while the menu is open opens no second menu.
        EXPECT_TRUE(icon.userDid(IconEvent::RightReleased));
        return -1;
    };
    EXPECT_TRUE(icon.userDid(IconEvent::RightReleased));
    EXPECT_EQ(shown, &app.form.mnuTray);
    ASSERT_EQ(app.form.mnuTray.items().size(), 1u);
    EXPECT_EQ(app.form.mnuTray.items()[0]->Caption(), "关闭");
    EXPECT_EQ(app.view.menusShown, 1);
    EXPECT_TRUE(app.form.Visible()) << "dismissing the menu changes nothing";
}

TEST_F(TrayModule, ADoubleClickDoesNothingOfItsOwn)
{
    EXPECT_FALSE(icon.userDid(IconEvent::DoubleClicked));
    EXPECT_TRUE(app.form.Visible());
    EXPECT_EQ(app.view.menusShown, 0);
}

TEST_F(TrayModule, RemoveTakesTheIconAwayOnce)
{
    app.form.trayModule().TrayRemove();
    ASSERT_EQ(icon.calls.size(), 3u);
    EXPECT_EQ(icon.calls[2].kind, Call::Kind::Remove);
    EXPECT_FALSE(icon.userDid(IconEvent::LeftReleased));
    EXPECT_TRUE(app.form.Visible()) << "clicks no longer reach the tray module";
    app.form.trayModule().TrayRemove();
    EXPECT_EQ(icon.calls.size(), 3u) << "a second remove does nothing";
}

TEST_F(TrayModule, TheIconComesBackWithItsTipWhenTheShellRestarts)
{
    EXPECT_FALSE(icon.userDid(IconEvent::ShellRestarted));
    ASSERT_EQ(icon.calls.size(), 3u);
    EXPECT_EQ(icon.calls[2].kind, Call::Kind::Show);
    EXPECT_EQ(icon.calls[2].tip, "Tindora");
}

TEST_F(TrayModule, WhenTheTrayGoesAHiddenWindowComesBackMinimizedAndAShownOneStaysAsItIs)
{
    struct Case {
        const char* what;
        bool hiddenInTray;
    };
    for (const Case& c : {Case{"hidden in the tray", true}, Case{"shown", false}}) {
        SCOPED_TRACE(c.what);
        HeadlessApp fresh;
        fresh.start();
        if (c.hiddenInTray) {
            fresh.form.Command6_Click(); // 最小化到托盘
            ASSERT_FALSE(fresh.form.Visible());
        }
        // The panel ends.
        fresh.trayIcon.accept = false;
        fresh.trayIcon.shown = false;
        EXPECT_FALSE(fresh.trayIcon.userDid(IconEvent::TrayGone));
        EXPECT_TRUE(fresh.form.Visible());
        EXPECT_EQ(fresh.form.WindowState(), c.hiddenInTray ? FormWindow::kMinimized : FormWindow::kNormal);
        // Without a tray, 最小化到托盘 now leaves the window minimized.
        fresh.form.Command6_Click();
        EXPECT_TRUE(fresh.form.Visible());
        EXPECT_EQ(fresh.form.WindowState(), FormWindow::kMinimized);
        // A tray comes: the icon is shown again, and the window goes to it
        // at the next minimize.
        fresh.trayIcon.accept = true;
        EXPECT_FALSE(fresh.trayIcon.userDid(IconEvent::ShellRestarted));
        EXPECT_TRUE(fresh.form.trayModule().iconShown());
        fresh.form.systemChangedWindowState(FormWindow::kNormal);
        fresh.form.Command6_Click();
        EXPECT_FALSE(fresh.form.Visible());
    }
}

} // namespace
} // namespace tindora
