// The icon as the Windows shell sees it: the exact records of each command,
// the hook around them, and which callback messages the tray consumes.
#include "little_endian.h"
#include "module1.h"
#include "headless_runtime.h"
#include "shell_notify_icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tindora::tray {
namespace {

constexpr std::uint32_t kWindow = 0x00010020;
constexpr std::uint32_t kIcon = 0x00030040;
constexpr std::uint32_t kTaskbarCreated = 0xC123;

// Other messages, and other mouse events the callback message can carry.
constexpr std::uint32_t kWmPaint = 0x000F;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::intptr_t kWmMouseMove = 0x0200;
constexpr std::intptr_t kWmLButtonDown = 0x0201;
constexpr std::intptr_t kWmRButtonDown = 0x0204;
constexpr std::intptr_t kWmRButtonDblClk = 0x0206;

// A 32-bit field of the record.
std::uint32_t field(const NotifyIconRecord& record, std::size_t offset) { return littleEndian::read32(record, offset); }

// A shell that records every call, in order.
struct RecordingShell : WindowsShell {
    struct NotifyCall {
        std::uint32_t command;
        NotifyIconRecord record;
    };
    bool notifyIcon(std::uint32_t command, NotifyIconRecord& record) override
    {
        notifyCalls.push_back({command, record});
        order.push_back("notify " + std::to_string(command));
        return accept;
    }
    bool hookWindow() override
    {
        order.emplace_back("hook");
        hooked = hookSucceeds;
        return hookSucceeds;
    }
    void unhookWindow() override
    {
        order.emplace_back("unhook");
        hooked = false;
    }
    std::string toAnsi(std::string_view utf8) override { return std::string(utf8); }

    std::vector<NotifyCall> notifyCalls;
    std::vector<std::string> order;
    bool accept = true;
    bool hookSucceeds = true;
    bool hooked = false;
};

struct ViewWithMenu : WindowView {
    void windowChanged(WindowChange) override {}
    int popupMenu(const Menu&) override
    {
        ++menus;
        return -1;
    }
    int menus = 0;
};

class ShellIcon : public ::testing::Test {
protected:
    void SetUp() override
    {
        icon.setWindow(kWindow, kIcon);
        icon.setShellRestartMessage(kTaskbarCreated);
        window.setView(&view);
        window.Show();
        tray.TrayAdd(window, menu);
        tray.TraySetTip("Tindora");
    }
    RecordingShell shell;
    ShellNotifyIcon icon{shell};
    headless::HeadlessRuntime runtime;
    FormWindow window{"Tindora1.0", runtime};
    ViewWithMenu view;
    Menu menu{{"mnuTray", 0, 0, 0, 0, "右键菜单"}};
    Module1 tray{icon};
};

TEST_F(ShellIcon, StartUpHooksThenAddsTheIconThenItsTipWithThe88ByteRecord)
{
    EXPECT_EQ(shell.order, (std::vector<std::string>{"hook", "notify 0", "notify 1"}));
    ASSERT_EQ(shell.notifyCalls.size(), 2u);

    const auto& add = shell.notifyCalls[0];
    EXPECT_EQ(add.command, kNimAdd);
    EXPECT_EQ(field(add.record, 0), 88u);
    EXPECT_EQ(field(add.record, 4), kWindow);
    EXPECT_EQ(field(add.record, 8), 0u);
    EXPECT_EQ(field(add.record, 12), 3u);
    EXPECT_EQ(field(add.record, 16), 2025u) << "the callback message";
    EXPECT_EQ(field(add.record, 20), kIcon);
    for (std::size_t i = 24; i < 88; ++i)
        ASSERT_EQ(add.record[i], 0) << "no tip yet, byte " << i;

    const auto& tip = shell.notifyCalls[1];
    EXPECT_EQ(tip.command, kNimModify);
    EXPECT_EQ(field(tip.record, 12), 4u);
    EXPECT_EQ(field(tip.record, 4), kWindow) << "the other fields stay";
    std::string expectedTip = "Tindora";
    expectedTip += '\0';
    expectedTip += std::string(64 - 8, ' ');
    EXPECT_EQ(std::string(tip.record.begin() + 24, tip.record.end()), expectedTip);
}

TEST_F(ShellIcon, RemoveDeletesTheIconThenUnhooks)
{
    tray.TrayRemove();
    ASSERT_EQ(shell.notifyCalls.size(), 3u);
    EXPECT_EQ(shell.notifyCalls[2].command, kNimDelete);
    EXPECT_EQ(field(shell.notifyCalls[2].record, 12), 0u);
    EXPECT_EQ(shell.order.back(), "unhook");
    EXPECT_FALSE(shell.hooked);
    EXPECT_FALSE(icon.windowMessage(TRAY_CALLBACK_MESSAGE, kWmLButtonUp));
    EXPECT_TRUE(window.Visible()) << "clicks no longer reach the tray module";
}

TEST_F(ShellIcon, TheIconComesBackWhenTheShellRestarts)
{
    EXPECT_FALSE(icon.windowMessage(kTaskbarCreated, 0)) << "passed on as well";
    ASSERT_EQ(shell.notifyCalls.size(), 3u);
    EXPECT_EQ(shell.notifyCalls[2].command, kNimAdd);
    EXPECT_EQ(field(shell.notifyCalls[2].record, 12), 7u) << "icon, message and tip at once";
    EXPECT_EQ(shell.notifyCalls[2].record[24], 'T');
    EXPECT_EQ(std::count(shell.order.begin(), shell.order.end(), "hook"), 1) << "the hook goes in once";
}

TEST_F(ShellIcon, OnlyTheLeftAndRightReleaseAreActedOnAndOnlyTheRightIsConsumed)
{
    const struct {
        std::uint32_t message;
        std::intptr_t lParam;
        bool consumed;
        bool visibleAfter;
        int menusAfter;
    } cases[] = {
        {TRAY_CALLBACK_MESSAGE, kWmMouseMove, false, true, 0},
        {TRAY_CALLBACK_MESSAGE, kWmLButtonDown, false, true, 0},
        {TRAY_CALLBACK_MESSAGE, kWmLButtonDblClk, false, true, 0},
        {TRAY_CALLBACK_MESSAGE, kWmRButtonDown, false, true, 0},
        {TRAY_CALLBACK_MESSAGE, kWmRButtonDblClk, false, true, 0},
        {kWmPaint, kWmLButtonUp, false, true, 0},
        {kWmClose, kWmRButtonUp, false, true, 0},
        {TRAY_CALLBACK_MESSAGE, kWmRButtonUp, true, true, 1},
        {TRAY_CALLBACK_MESSAGE, kWmLButtonUp, false, false, 1},
        {TRAY_CALLBACK_MESSAGE, kWmLButtonUp, false, true, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(icon.windowMessage(c.message, c.lParam), c.consumed) << c.message << "/" << c.lParam;
        EXPECT_EQ(window.Visible(), c.visibleAfter) << c.message << "/" << c.lParam;
        EXPECT_EQ(view.menus, c.menusAfter) << c.message << "/" << c.lParam;
    }
}

TEST(ShellIconWithoutHook, AddsNoIconSoTheWindowIsNeverLostInTheTray)
{
    RecordingShell shell;
    shell.hookSucceeds = false;
    ShellNotifyIcon icon{shell};
    icon.setWindow(kWindow, kIcon);
    EXPECT_FALSE(icon.show({}));
    EXPECT_TRUE(shell.notifyCalls.empty());
    EXPECT_FALSE(icon.isShown());
}

} // namespace
} // namespace tindora::tray
