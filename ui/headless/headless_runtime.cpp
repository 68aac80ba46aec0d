#include "headless_runtime.h"

namespace tindora::headless {

std::string HeadlessRuntime::formatTimeOfDay(TimeOfDay time)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", time.hour(), time.minute(), time.second());
    return buffer;
}

int HeadlessRuntime::messageBox(std::string_view text, int flags, std::string_view title)
{
    ++boxesShown;
    Announcement box{Announcement::Kind::Box, std::string(text), flags, std::string(title),
                     programClock ? programClock->now() : secondOf(clock)};
    if (keepLog)
        log.push_back(box);
    if (whileBoxOpen)
        return whileBoxOpen(box);
    return (flags & mb::kButtonsMask) == mb::kYesNo ? mb::kIdYes : mb::kIdOk;
}

void HeadlessRuntime::playAlertClip()
{
    ++soundRequests;
    if (keepLog)
        log.push_back({Announcement::Kind::Sound, {}, 0, {}, programClock ? programClock->now() : secondOf(clock)});
}

int HeadlessWindowView::popupMenu(const Menu& menu)
{
    ++menusShown;
    return whileMenuOpen ? whileMenuOpen(menu) : -1;
}

bool HeadlessTrayShell::notifyIcon(std::uint32_t command, tray::NotifyIconRecord& record)
{
    notifyCalls.push_back({command, record});
    return acceptNotify;
}

tray::WindowProcHandle HeadlessTrayShell::hookWindowProc(std::uint32_t hWnd)
{
    hooked = true;
    hookedWindow = hWnd;
    return kOwnProc;
}

void HeadlessTrayShell::restoreWindowProc(std::uint32_t hWnd, tray::WindowProcHandle previous)
{
    if (hWnd == hookedWindow && previous == kOwnProc)
        hooked = false;
}

std::intptr_t HeadlessTrayShell::callWindowProc(tray::WindowProcHandle previous, std::uint32_t, std::uint32_t message,
                                                std::uintptr_t wParam, std::intptr_t lParam)
{
    if (previous != kOwnProc)
        return 0;
    ownProcMessages.push_back({message, wParam, lParam});
    return kOwnProcResult;
}

std::intptr_t HeadlessTrayShell::sendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (hooked)
        return tray::TrayWindowProc(hookedWindow, message, wParam, lParam);
    return callWindowProc(kOwnProc, hookedWindow, message, wParam, lParam);
}

} // namespace tindora::headless
