#include "shell_notify_icon.h"

namespace tindora::tray {
namespace {

constexpr std::uint32_t kNifMessage = 1;
constexpr std::uint32_t kNifIcon = 2;
constexpr std::uint32_t kNifTip = 4;

} // namespace

std::optional<IconEvent> iconEventOf(std::uint32_t message, std::intptr_t lParam)
{
    if (message != TRAY_CALLBACK_MESSAGE)
        return std::nullopt;
    switch (lParam) {
    case kWmLButtonUp:
        return IconEvent::LeftReleased;
    case kWmRButtonUp:
        return IconEvent::RightReleased;
    case kWmLButtonDblClk:
        return IconEvent::DoubleClicked;
    default:
        return std::nullopt;
    }
}

void ShellNotifyIcon::setWindow(std::uint32_t hWnd, std::uint32_t hIcon)
{
    m_data.cbSize = kNotifyIconRecordSize;
    m_data.hWnd = hWnd;
    m_data.uID = 0;
    m_data.hIcon = hIcon;
    m_data.uCallbackMessage = TRAY_CALLBACK_MESSAGE;
}

bool ShellNotifyIcon::show(std::string_view tip)
{
    if (!m_hooked)
        m_hooked = m_shell.hookWindow();
    // Without the hook no click on the icon would reach the program, and the
    // window could not come back from the tray: better no icon at all.
    if (!m_hooked) {
        m_shown = false;
        return false;
    }
    std::uint32_t flags = kNifMessage | kNifIcon;
    if (!tip.empty()) {
        tray::setTip(m_data, tip, [this](std::string_view text) { return m_shell.toAnsi(text); });
        flags |= kNifTip;
    }
    m_shown = send(kNimAdd, flags);
    return m_shown;
}

bool ShellNotifyIcon::setTip(std::string_view tip)
{
    tray::setTip(m_data, tip, [this](std::string_view text) { return m_shell.toAnsi(text); });
    return send(kNimModify, kNifTip);
}

void ShellNotifyIcon::remove()
{
    send(kNimDelete, 0);
    m_shown = false;
    if (m_hooked)
        m_shell.unhookWindow();
    m_hooked = false;
}

bool ShellNotifyIcon::windowMessage(std::uint32_t message, std::intptr_t lParam)
{
    if (m_shellRestarted != 0 && message == m_shellRestarted) {
        report(IconEvent::ShellRestarted);
        return false;
    }
    const std::optional<IconEvent> event = iconEventOf(message, lParam);
    return event && report(*event);
}

bool ShellNotifyIcon::send(std::uint32_t command, std::uint32_t flags)
{
    m_data.uFlags = flags;
    NotifyIconRecord record = pack(m_data);
    const bool accepted = m_shell.notifyIcon(command, record);
    m_data = unpack(record);
    return accepted;
}

} // namespace tindora::tray
