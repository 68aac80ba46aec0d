#include "window_test_support.h"

#include <algorithm>

namespace tindora::win32::testing {
namespace {

int iconOf(HWND box)
{
    // The icon control's number differs between Windows and Wine: find it by style.
    HWND child = nullptr;
    while ((child = FindWindowExW(box, child, L"Static", nullptr))) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (icon == LoadIconW(nullptr, IDI_INFORMATION))
            return MB_ICONINFORMATION;
        if (icon == LoadIconW(nullptr, IDI_EXCLAMATION))
            return MB_ICONEXCLAMATION;
        return -1;
    }
    return 0;
}

bool isOurBox(HWND window);

BOOL CALLBACK collectBox(HWND window, LPARAM list)
{
    if (isOurBox(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

bool isOurBox(HWND window)
{
    wchar_t className[16];
    if (!GetClassNameW(window, className, 16) || std::wstring_view(className) != L"#32770" || !IsWindowVisible(window))
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

} // namespace

void SettableClock::set(LocalMillis at)
{
    std::lock_guard lock(m_mutex);
    m_wallShift = at - localNow();
}

void SettableClock::changeUtcOffset(std::int64_t offset)
{
    std::lock_guard lock(m_mutex);
    const std::int64_t shift = offset - (readSystemClock().utcOffset + m_offsetShift);
    m_wallShift += shift;
    m_offsetShift += shift;
}

void SettableClock::sleep(LocalMillis millis)
{
    std::lock_guard lock(m_mutex);
    m_wallShift += millis;
    m_monotonicShift += millis;
}

ClockReading SettableClock::read() const
{
    std::lock_guard lock(m_mutex);
    const ClockReading real = readSystemClock();
    return {real.local + m_wallShift, real.utcOffset + m_offsetShift};
}

std::int64_t SettableClock::monotonic() const
{
    std::lock_guard lock(m_mutex);
    return Win32Runtime::tickCount() + m_monotonicShift;
}

std::wstring textOf(HWND window)
{
    wchar_t buffer[1024];
    const int length = GetWindowTextW(window, buffer, 1024);
    return std::wstring(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

BoxWatcher::BoxWatcher(std::size_t closeAt) : m_closeAt(closeAt), m_thread([this] { watch(); }) {}

BoxWatcher::~BoxWatcher()
{
    m_stop = true;
    m_thread.join();
}

std::vector<SeenBox> BoxWatcher::boxes() const
{
    std::lock_guard lock(m_mutex);
    return m_boxes;
}

std::size_t BoxWatcher::count() const
{
    std::lock_guard lock(m_mutex);
    return m_boxes.size();
}

void BoxWatcher::watch()
{
    while (!m_stop) {
        Sleep(20);
        std::vector<HWND> found;
        EnumWindows(&collectBox, reinterpret_cast<LPARAM>(&found));
        std::lock_guard lock(m_mutex);
        for (HWND box : found) {
            // A box already closed stays visible until the UI thread gets to it.
            if (std::find(m_seen.begin(), m_seen.end(), box) != m_seen.end())
                continue;
            m_seen.push_back(box);
            if (m_open.empty())
                m_oldestOpenSince = GetTickCount();
            m_open.push_back(box);
            wchar_t text[1024] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            SeenBox seen;
            seen.title = textOf(box);
            seen.text = text;
            seen.topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            seen.icon = iconOf(box);
            seen.onlyOk = GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) && !GetDlgItem(box, IDYES);
            seen.ownedByWindow = GetWindow(box, GW_OWNER) != nullptr;
            m_boxes.push_back(seen);
        }
        const bool gaveUp = !m_open.empty() && GetTickCount() - m_oldestOpenSince > kGiveUpMillis;
        if (m_open.size() >= m_closeAt || gaveUp) {
            // Newest first, as a user closes stacked boxes.
            for (auto it = m_open.rbegin(); it != m_open.rend(); ++it)
                PostMessageW(*it, WM_COMMAND, IDOK, 0);
            m_open.clear();
        }
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMillis, bool* quit,
               const std::function<bool(MSG&)>& preprocess)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMillis)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                if (quit)
                    *quit = true;
                continue;
            }
            if (preprocess && preprocess(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

bool pressKeys(std::initializer_list<WORD> virtualKeys)
{
    std::vector<INPUT> inputs;
    for (WORD key : virtualKeys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        down.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(down);
        inputs.push_back(up);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool clickAt(POINT screen)
{
    if (!SetCursorPos(screen.x, screen.y))
        return false;
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool clickOn(HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    return clickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void pumpFor(DWORD millis)
{
    const DWORD start = GetTickCount();
    pumpUntil([&] { return GetTickCount() - start >= millis; }, millis + 1000);
}

RECT clientRectOf(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace tindora::win32::testing
