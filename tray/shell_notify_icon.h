#pragma once
// The tray icon the way the Windows shell keeps it, in portable code so that
// it is tested everywhere: the one 88-byte record that the three
// Shell_NotifyIcon commands share, the window-procedure hook that is in place
// before the icon exists and goes after it, and what the shell's callback
// message says. Only the Windows backend gives it a real shell.

#include "notify_icon_data.h"
#include "tray_icon.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tindora::tray {

inline constexpr std::uint32_t TRAY_CALLBACK_MESSAGE = 2025;
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::intptr_t kWmLButtonUp = 514;
inline constexpr std::intptr_t kWmLButtonDblClk = 515;
inline constexpr std::intptr_t kWmRButtonUp = 517;

// The icon event a window message carries, or nothing for every other message.
std::optional<IconEvent> iconEventOf(std::uint32_t message, std::intptr_t lParam);

// The shell's calls. Failure contract: none throws; a refused call is
// reported through its result and the icon runs on without the shell.
class WindowsShell {
public:
    virtual ~WindowsShell() = default;
    // Shell_NotifyIcon with the 88-byte record, which the shell may write
    // back. True when the shell accepted the command.
    virtual bool notifyIcon(std::uint32_t command, NotifyIconRecord& record) = 0;
    // Puts the tray's window procedure in place of the window's own, which
    // then gets every message the tray does not consume; false when refused.
    virtual bool hookWindow() = 0;
    // Gives the window its own procedure back.
    virtual void unhookWindow() = 0;
    // The tip in the system's ANSI code page, as the record carries it.
    virtual std::string toAnsi(std::string_view utf8) = 0;
};

class ShellNotifyIcon : public TrayIcon {
public:
    explicit ShellNotifyIcon(WindowsShell& shell) : m_shell(shell) {}

    // The window that gets the callback messages, and its icon, as 32-bit
    // handles; before the first show().
    void setWindow(std::uint32_t hWnd, std::uint32_t hIcon);
    // The number of the shell's "TaskbarCreated" message.
    void setShellRestartMessage(std::uint32_t message) { m_shellRestarted = message; }

    // NIM_ADD with the icon and the callback message (flags 3), and the tip
    // as well (7) when there is one. The hook goes in first, so no click on
    // the icon reaches the window ahead of the tray.
    bool show(std::string_view tip) override;
    // NIM_MODIFY of the tip alone (flags 4).
    bool setTip(std::string_view tip) override;
    // NIM_DELETE (flags 0), then the hook goes: the reverse of show().
    void remove() override;
    bool isShown() const override { return m_shown; }

    // A message that reached the tray's window procedure: true when the tray
    // consumed it; every other message goes on to the window's own procedure
    // unchanged.
    bool windowMessage(std::uint32_t message, std::intptr_t lParam);

private:
    bool send(std::uint32_t command, std::uint32_t flags);

    WindowsShell& m_shell;
    TrayIconData m_data{};
    std::uint32_t m_shellRestarted = 0;
    bool m_hooked = false;
    bool m_shown = false;
};

} // namespace tindora::tray
