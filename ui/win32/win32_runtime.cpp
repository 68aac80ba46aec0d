#include "win32_runtime.h"

#include "backend_support.h"
#include "system_error.h"
#include "wide_text.h"

#include <mmsystem.h>

#include <string>

namespace tindora::win32 {
namespace {

// 100-ns intervals from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochIn100ns = 116444736000000000LL;

std::int64_t ticksOf(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<std::int64_t>(value.QuadPart);
}

// winmm (and the codecs it pulls in) loads on the first alert, not at
// start-up: most runs never sound, and the window shows sooner without it.
using PlaySoundFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
PlaySoundFn playSoundFunction()
{
    static const PlaySoundFn function = [] {
        wchar_t system[MAX_PATH];
        const UINT length = GetSystemDirectoryW(system, MAX_PATH);
        HMODULE winmm = LoadLibraryW((std::wstring(system, length) + L"\\winmm.dll").c_str());
        return winmm ? reinterpret_cast<PlaySoundFn>(reinterpret_cast<void*>(GetProcAddress(winmm, "PlaySoundW")))
                     : nullptr;
    }();
    return function;
}

} // namespace

ClockReading readSystemClock()
{
    // One instant read both ways: a zone change between two separate reads
    // (GetLocalTime, then the offset) would pair a local time with the other
    // zone's offset, which looks like a clock set by hand.
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    FILETIME local;
    // Converts with the zone and daylight-saving state in force now, which
    // is what GetLocalTime does too. It only fails on a time beyond 30827.
    if (!FileTimeToLocalFileTime(&utc, &local))
        local = utc;
    return {(ticksOf(local) - kUnixEpochIn100ns) / 10000, (ticksOf(local) - ticksOf(utc)) / 10000};
}

LocalMillis localNow() { return readSystemClock().local; }

UINT messageBoxFlags(const BoxStyle& style)
{
    UINT flags = style.buttons == BoxButtons::YesNo ? MB_YESNO : MB_OK;
    switch (style.icon) {
    case BoxIcon::Information:
        flags |= MB_ICONINFORMATION;
        break;
    case BoxIcon::Exclamation:
        flags |= MB_ICONEXCLAMATION;
        break;
    case BoxIcon::Error:
        flags |= MB_ICONERROR;
        break;
    }
    if (style.systemModal)
        flags |= MB_SYSTEMMODAL;
    return flags;
}

LocalMillis Win32Runtime::now()
{
    m_lastReading = m_clock();
    return m_lastReading->local;
}

std::int64_t Win32Runtime::utcOffsetMillis()
{
    if (!m_lastReading)
        m_lastReading = m_clock();
    return m_lastReading->utcOffset;
}

void Win32Runtime::tellWhileEnding(std::string_view text)
{
    // Nobody can answer a box while the session ends: the Application event
    // log keeps the message for the user to find later, and the debugger's
    // output (DebugView) shows it as it happens. The source is not registered
    // (that takes an installer with administrator rights), so the Event
    // Viewer shows the text under "the following information was included".
    const std::wstring wide = toWide(text);
    OutputDebugStringW((L"Tindora: " + wide + L"\n").c_str());
    HANDLE log = RegisterEventSourceW(nullptr, L"Tindora");
    if (!log) {
        reportFaultOnce("RegisterEventSourceW", GetLastError());
        return;
    }
    const wchar_t* strings[] = {wide.c_str()};
    if (!ReportEventW(log, EVENTLOG_WARNING_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr))
        reportFaultOnce("ReportEventW", GetLastError());
    DeregisterEventSource(log);
}

std::string Win32Runtime::formatTimeOfDay(TimeOfDay time)
{
    SYSTEMTIME st{};
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    st.wHour = static_cast<WORD>(time.hour());
    st.wMinute = static_cast<WORD>(time.minute());
    st.wSecond = static_cast<WORD>(time.second());
    wchar_t buffer[64];
    const int length = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 64);
    if (length <= 1)
        return formatHhMmSs(time);
    return toUtf8(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

BoxAnswer Win32Runtime::messageBox(std::string_view text, BoxStyle style, std::string_view title)
{
    HWND owner = boxHasOwner(style, m_window && IsWindowVisible(m_window)) ? m_window : nullptr;
    // A box that cannot be shown (0) answers as its first button would.
    switch (MessageBoxW(owner, toWide(text).c_str(), toWide(title).c_str(), messageBoxFlags(style))) {
    case IDNO:
        return BoxAnswer::No;
    case IDYES:
        return BoxAnswer::Yes;
    case 0:
        return style.buttons == BoxButtons::YesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
    default:
        return BoxAnswer::Ok;
    }
}

void Win32Runtime::playAlertClip()
{
    if (m_clip.empty())
        return;
    // Asynchronous from memory: the box shows while the clip sounds, and a
    // new request cuts the old one short. No device: it returns at once.
    if (PlaySoundFn play = playSoundFunction())
        play(reinterpret_cast<LPCWSTR>(m_clip.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}

std::optional<std::string> Win32Runtime::armWakeUp(LocalMillis at)
{
    if (!m_window)
        return "没有窗口";
    // One single-shot timer: SetTimer with the same id replaces the old one,
    // and handleTimer kills it before it can fire again. Below
    // USER_TIMER_MINIMUM the system takes its minimum.
    if (SetTimer(m_window, kWakeUpTimerId, static_cast<UINT>(wakeUpDelay(at, now())), nullptr) == 0)
        return systemErrorText(GetLastError());
    return std::nullopt;
}

bool Win32Runtime::handleTimer(UINT_PTR id)
{
    if (id != kWakeUpTimerId)
        return false;
    KillTimer(m_window, kWakeUpTimerId);
    wakeUpFired();
    return true;
}

void Win32Runtime::endProgram()
{
    if (m_endAction)
        m_endAction();
    else
        ExitProcess(0);
}

void Win32Runtime::quitAfterUnload() { PostQuitMessage(0); }

} // namespace tindora::win32
