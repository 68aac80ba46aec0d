#include "headless_app.h"
#include "module1.h"

#include <gtest/gtest.h>

#include <string>

namespace tindora {
namespace {

using headless::HeadlessApp;
using headless::HeadlessTrayShell;
using tray::NotifyIconRecord;

std::uint32_t field(const NotifyIconRecord& record, std::size_t offset)
{
    return record[offset] | record[offset + 1] << 8 | record[offset + 2] << 16 |
           static_cast<std::uint32_t>(record[offset + 3]) << 24;
}

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override { app.start(); }
    std::intptr_t send(std::uint32_t message, std::intptr_t lParam, std::uintptr_t wParam = 0)
    {
        return app.trayShell.sendMessage(message, wParam, lParam);
    }
    HeadlessApp app;
    HeadlessTrayShell& shell = app.trayShell;
};

TEST_F(TrayTest, StartUpAddsTheIconAndThenItsTipWithThe88ByteRecord)
{
    ASSERT_EQ(shell.notifyCalls.size(), 2u);
    EXPECT_TRUE(shell.hooked) << "the hook is in";

    const auto& add = shell.notifyCalls[0];
    EXPECT_EQ(add.command, tray::kNimAdd);
    EXPECT_EQ(field(add.record, 0), 88u);
    EXPECT_EQ(field(add.record, 4), app.view.windowHandle());
    EXPECT_EQ(field(add.record, 8), 0u);
    EXPECT_EQ(field(add.record, 12), 3u);
    EXPECT_EQ(field(add.record, 16), 2025u);
    EXPECT_EQ(field(add.record, 20), app.view.iconHandle());
    for (std::size_t i = 24; i < 88; ++i)
        ASSERT_EQ(add.record[i], 0) << "no tip yet, byte " << i;

    const auto& tip = shell.notifyCalls[1];
    EXPECT_EQ(tip.command, tray::kNimModify);
    EXPECT_EQ(field(tip.record, 12), 4u);
    EXPECT_EQ(field(tip.record, 4), app.view.windowHandle()) << "the other fields stay";
    std::string expectedTip = "Tindora";
    expectedTip += '\0';
    expectedTip += std::string(64 - 8, ' ');
    EXPECT_EQ(std::string(tip.record.begin() + 24, tip.record.end()), expectedTip);
}

TEST(TrayTip, ALongTipIsCutAtACharacterSoItsNulFitsTheField)
{
    tray::TrayIconData data;
    const tray::AnsiEncoder identity = [](std::string_view s) { return std::string(s); };
    tray::setTip(data, std::string(80, 'x'), identity);
    EXPECT_EQ(data.szTip[62], 'x');
    EXPECT_EQ(data.szTip[63], 0);

    // 31 double-byte characters and one ASCII byte make 63 bytes; one more
    // double-byte character must not be split.
    std::string ansi = "a";
    for (int i = 0; i < 32; ++i)
        ansi += "\xB0\xA1"; // 啊 in GBK
    tray::setTip(data, ansi, identity);
    EXPECT_EQ(data.szTip[62], 0xA1);
    EXPECT_EQ(data.szTip[63], 0);
    ansi = "ab" + ansi.substr(1);
    tray::setTip(data, ansi, identity);
    EXPECT_EQ(data.szTip[61], 0xA1);
    EXPECT_EQ(data.szTip[62], 0) << "the 31st character would end at byte 64: it goes whole";
    EXPECT_EQ(data.szTip[63], ' ');
}

TEST_F(TrayTest, ALeftClickTogglesTheWindowAndIsPassedOn)
{
    ASSERT_TRUE(app.form.Visible());
    EXPECT_EQ(send(2025, 514), HeadlessTrayShell::kOwnProcResult);
    EXPECT_FALSE(app.form.Visible());
    EXPECT_EQ(send(2025, 514, 7), HeadlessTrayShell::kOwnProcResult);
    EXPECT_TRUE(app.form.Visible());
    ASSERT_EQ(shell.ownProcMessages.size(), 2u);
    EXPECT_EQ(shell.ownProcMessages[1].message, 2025u);
    EXPECT_EQ(shell.ownProcMessages[1].wParam, 7u);
    EXPECT_EQ(shell.ownProcMessages[1].lParam, 514);
}

TEST_F(TrayTest, ARightClickPopsTheMenuUpAndIsNotPassedOn)
{
    const Menu* shown = nullptr;
    app.view.whileMenuOpen = [&](const Menu& menu) {
        shown = &menu;
        // A second right click while the menu is open opens no second menu.
        EXPECT_EQ(send(2025, 517), 0);
        return -1;
    };
    EXPECT_EQ(send(2025, 517), 0);
    EXPECT_EQ(shown, &app.form.mnuTray);
    ASSERT_EQ(app.form.mnuTray.items().size(), 1u);
    EXPECT_EQ(app.form.mnuTray.items()[0]->Caption(), "关闭");
    EXPECT_EQ(app.view.menusShown, 1);
    EXPECT_TRUE(shell.ownProcMessages.empty());
    EXPECT_TRUE(app.form.Visible()) << "dismissing the menu changes nothing";
}

TEST_F(TrayTest, OtherMessagesPassThroughUnchanged)
{
    const struct {
        std::uint32_t message;
        std::intptr_t lParam;
    } cases[] = {{2025, 512}, {2025, 513}, {2025, 515}, {2025, 516}, {2025, 518}, {15, 514}, {16, 517}};
    for (const auto& c : cases)
        EXPECT_EQ(send(c.message, c.lParam, 3), HeadlessTrayShell::kOwnProcResult);
    ASSERT_EQ(shell.ownProcMessages.size(), std::size(cases));
    EXPECT_TRUE(app.form.Visible());
    EXPECT_EQ(app.view.menusShown, 0);
}

TEST_F(TrayTest, RemoveDeletesTheIconThenUnhooks)
{
    tray::TrayRemove();
    ASSERT_EQ(shell.notifyCalls.size(), 3u);
    EXPECT_EQ(shell.notifyCalls[2].command, tray::kNimDelete);
    EXPECT_EQ(field(shell.notifyCalls[2].record, 12), 0u);
    EXPECT_FALSE(shell.hooked);
    send(2025, 514);
    EXPECT_TRUE(app.form.Visible()) << "clicks no longer reach the tray module";
    tray::TrayRemove();
    EXPECT_EQ(shell.notifyCalls.size(), 3u) << "a second remove does nothing";
}

TEST_F(TrayTest, TheIconComesBackWhenTheShellRestarts)
{
    tray::TrayReAdd();
    ASSERT_EQ(shell.notifyCalls.size(), 3u);
    EXPECT_EQ(shell.notifyCalls[2].command, tray::kNimAdd);
    EXPECT_EQ(field(shell.notifyCalls[2].record, 12), 7u) << "icon, message and tip at once";
    EXPECT_EQ(shell.notifyCalls[2].record[24], 'T');
}

} // namespace
} // namespace tindora
