#include "module1.h"

#include <cassert>

namespace tindora::tray {
namespace {

TrayState g_state;

bool notify(std::uint32_t command)
{
    NotifyIconRecord record = pack(g_state.iconData);
    const bool accepted = g_state.shell->notifyIcon(command, record);
    g_state.iconData = unpack(record);
    return accepted;
}

} // namespace

void setTrayShell(TrayShell& shell) { g_state.shell = &shell; }
TrayState& trayState() { return g_state; }

void resetTrayModule()
{
    TrayShell* shell = g_state.shell;
    g_state = TrayState{};
    g_state.shell = shell;
}

void TrayAdd(FormWindow& form, Menu& menu)
{
    assert(g_state.shell && "setTrayShell must come before TrayAdd");
    g_state.TrayForm = &form;
    g_state.TrayMenu = &menu;

    // The hook goes in before the icon exists, so no click on the icon can
    // reach the window ahead of TrayWindowProc.
    const std::uint32_t handle = form.hWnd();
    g_state.PreviousWindowProc = g_state.shell->hookWindowProc(handle);
    g_state.hooked = true;

    g_state.iconData.uID = 0;
    g_state.iconData.hWnd = handle;
    g_state.iconData.cbSize = kNotifyIconRecordSize;
    g_state.iconData.hIcon = form.Icon();
    g_state.iconData.uCallbackMessage = TRAY_CALLBACK_MESSAGE;
    g_state.iconData.uFlags = 3; // NIF_MESSAGE | NIF_ICON
    g_state.iconShown = notify(kNimAdd);
}

void TraySetTip(std::string_view tip)
{
    setTip(g_state.iconData, tip, [](std::string_view text) { return g_state.shell->toAnsi(text); });
    g_state.iconData.uFlags = 4; // NIF_TIP
    notify(kNimModify);
}

void TrayReAdd()
{
    if (!g_state.hooked)
        return;
    // The shell lost every icon: add ours again with its tip.
    const bool hasTip = g_state.iconData.szTip[0] != 0;
    g_state.iconData.uFlags = hasTip ? 7u : 3u;
    g_state.iconShown = notify(kNimAdd);
}

void TrayRemove()
{
    if (!g_state.hooked)
        return;
    // The icon goes before the hook, the reverse of TrayAdd.
    g_state.iconData.uFlags = 0;
    notify(kNimDelete);
    g_state.iconShown = false;
    g_state.shell->restoreWindowProc(g_state.TrayForm->hWnd(), g_state.PreviousWindowProc);
    g_state.hooked = false;
}

std::intptr_t TrayWindowProc(std::uint32_t hWnd, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message == TRAY_CALLBACK_MESSAGE && lParam == kWmLButtonUp) {
        if (g_state.TrayForm->Visible())
            g_state.TrayForm->Hide();
        else
            g_state.TrayForm->Show();
    } else if (message == TRAY_CALLBACK_MESSAGE && lParam == kWmRButtonUp) {
        if (!g_state.menuOpen) {
            g_state.menuOpen = true;
            // The chosen item may save, unload the window and remove the icon
            // before PopupMenu returns: use nothing of the tray's afterwards.
            g_state.TrayForm->PopupMenu(*g_state.TrayMenu);
            g_state.menuOpen = false;
        }
        return 0;
    }
    return g_state.shell->callWindowProc(g_state.PreviousWindowProc, hWnd, message, wParam, lParam);
}

} // namespace tindora::tray
