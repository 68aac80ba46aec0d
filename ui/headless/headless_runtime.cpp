#include "headless_runtime.h"

namespace tindora::headless {

std::string HeadlessRuntime::formatTimeOfDay(TimeOfDay time)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", time.hour(), time.minute(), time.second());
    return buffer;
}

BoxAnswer HeadlessRuntime::messageBox(std::string_view text, BoxStyle style, std::string_view title)
{
    ++boxesShown;
    Announcement box{Announcement::Kind::Box, std::string(text), style, std::string(title),
                     programClock ? programClock->now() : secondOf(clock)};
    if (keepLog)
        log.push_back(box);
    if (whileBoxOpen)
        return whileBoxOpen(box);
    return style.buttons == BoxButtons::YesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
}

void HeadlessRuntime::playAlertClip()
{
    ++soundRequests;
    if (keepLog)
        log.push_back({Announcement::Kind::Sound, {}, {}, {}, programClock ? programClock->now() : secondOf(clock)});
}

std::optional<std::string> HeadlessRuntime::armWakeUp(LocalMillis at)
{
    if (wakeUpsToRefuse > 0) {
        --wakeUpsToRefuse;
        return "资源不足";
    }
    armedWakeUp = at;
    return std::nullopt;
}

int HeadlessWindowView::popupMenu(const Menu& menu)
{
    ++menusShown;
    return whileMenuOpen ? whileMenuOpen(menu) : -1;
}

bool HeadlessTrayIcon::show(std::string_view newTip)
{
    calls.push_back({Call::Kind::Show, std::string(newTip)});
    added = true;
    if (!newTip.empty())
        tip = newTip;
    shown = accept;
    return shown;
}

bool HeadlessTrayIcon::setTip(std::string_view newTip)
{
    calls.push_back({Call::Kind::SetTip, std::string(newTip)});
    tip = newTip;
    return shown;
}

void HeadlessTrayIcon::remove()
{
    calls.push_back({Call::Kind::Remove, {}});
    added = false;
    shown = false;
}

} // namespace tindora::headless
