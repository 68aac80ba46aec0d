// The real tindora.exe, started as a user starts it: its window comes up, a
// second start in the same folder brings that window forward and leaves (so
// a reminder comes once, not twice), and closing the window ends the program;
// the end of the session ends it at once, whatever is open.
#include "window_test_support.h"

#include "settings_messages.h"
#include "system_error.h"
#include "wide_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace tindora::win32::testing {
namespace {

// tindora.exe sits one folder above the test programs in the build tree.
std::wstring programPath()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/"));
    folder.resize(folder.find_last_of(L"\\/"));
    return folder + L"\\tindora.exe";
}

// A copy of the program started in the current folder. One still running
// when the test ends (an assertion failed on the way) is ended then, so that
// it holds neither the folder nor the display for the tests after.
class Started {
public:
    Started()
    {
        std::wstring commandLine = L"\"" + programPath() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ok = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process) != FALSE;
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    ~Started()
    {
        if (!ok)
            return;
        if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    PROCESS_INFORMATION process{};
    bool ok = false;
};

struct FoundWindows {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectProgramWindow(HWND window, LPARAM found)
{
    auto* result = reinterpret_cast<FoundWindows*>(found);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == result->process && textOf(window) == L"Tindora1.0")
        result->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> windowsOf(DWORD process)
{
    FoundWindows found{process, {}};
    EnumWindows(&collectProgramWindow, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

struct FoundBoxes {
    std::wstring title;
    std::vector<HWND> boxes;
};

BOOL CALLBACK collectBox(HWND window, LPARAM found)
{
    auto* result = reinterpret_cast<FoundBoxes*>(found);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && IsWindowVisible(window) && textOf(window) == result->title)
        result->boxes.push_back(window);
    return TRUE;
}

// Every message box on the desktop with this title, whichever program shows it.
std::vector<HWND> boxesTitled(const std::wstring& title)
{
    FoundBoxes found{title, {}};
    EnumWindows(&collectBox, reinterpret_cast<LPARAM>(&found));
    return found.boxes;
}

// time.txt with slot 1 due `seconds` from now (its warning, 5 minutes
// earlier, has passed) and the two other slots untouched.
std::string dueIn(int seconds)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int due = (now.wHour * 3600 + now.wMinute * 60 + now.wSecond + seconds) % 86400;
    return "\"" + std::to_string(due / 3600) + "\",\"" + std::to_string(due / 60 % 60) + "\",\"" +
           std::to_string(due % 60) + "\",\"5\",\"\"\r\n" +
           "\"\",\"\",\"\",\"5\",\"\"\r\n\"\",\"\",\"\",\"5\",\"\"\r\n";
}

// Every message box one process shows, by title, watched from a thread of
// ours until the watcher goes.
class ProcessBoxes {
public:
    explicit ProcessBoxes(DWORD process) : m_process(process), m_thread([this] { watch(); }) {}
    ~ProcessBoxes()
    {
        m_stop = true;
        m_thread.join();
    }
    ProcessBoxes(const ProcessBoxes&) = delete;
    ProcessBoxes& operator=(const ProcessBoxes&) = delete;

    std::vector<std::wstring> titles() const
    {
        std::lock_guard lock(m_mutex);
        return m_titles;
    }

private:
    static BOOL CALLBACK collect(HWND window, LPARAM self)
    {
        auto* boxes = reinterpret_cast<ProcessBoxes*>(self);
        wchar_t className[16] = {};
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != boxes->m_process || !GetClassNameW(window, className, 16) ||
            std::wstring_view(className) != L"#32770" || !IsWindowVisible(window))
            return TRUE;
        if (std::find(boxes->m_seen.begin(), boxes->m_seen.end(), window) == boxes->m_seen.end()) {
            boxes->m_seen.push_back(window);
            boxes->m_titles.push_back(textOf(window));
        }
        return TRUE;
    }
    void watch()
    {
        while (!m_stop) {
            {
                std::lock_guard lock(m_mutex);
                EnumWindows(&collect, reinterpret_cast<LPARAM>(this));
            }
            Sleep(20);
        }
    }

    DWORD m_process;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<HWND> m_seen;
    std::vector<std::wstring> m_titles;
    std::thread m_thread;
};

// What programs write to the debugger's output, read as DebugView reads it:
// OutputDebugString hands its text, in the ANSI code page, to whoever owns
// the DBWIN_BUFFER section when no debugger is attached.
class DebugOutput {
public:
    DebugOutput()
    {
        m_bufferReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
        m_dataReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
        m_section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, L"DBWIN_BUFFER");
        m_view = m_section ? MapViewOfFile(m_section, FILE_MAP_READ, 0, 0, kSize) : nullptr;
        if (listening())
            m_thread = std::thread([this] { listen(); });
    }
    ~DebugOutput()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_view)
            UnmapViewOfFile(m_view);
        for (HANDLE handle : {m_section, m_dataReady, m_bufferReady})
            if (handle)
                CloseHandle(handle);
    }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    bool listening() const { return m_bufferReady && m_dataReady && m_view; }
    std::vector<std::wstring> linesOf(DWORD process) const
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::wstring> lines;
        for (const auto& [from, text] : m_lines)
            if (from == process)
                lines.push_back(text);
        return lines;
    }

private:
    static constexpr DWORD kSize = 4096;

    void listen()
    {
        SetEvent(m_bufferReady);
        while (!m_stop) {
            if (WaitForSingleObject(m_dataReady, 50) != WAIT_OBJECT_0)
                continue;
            const auto* bytes = static_cast<const char*>(m_view);
            DWORD process = 0;
            std::memcpy(&process, bytes, sizeof process);
            const std::string_view ansi(bytes + sizeof process,
                                        strnlen(bytes + sizeof process, kSize - sizeof process));
            bool exact = true;
            std::wstring text = toWide(CP_ACP, ansi, exact);
            {
                std::lock_guard lock(m_mutex);
                m_lines.emplace_back(process, std::move(text));
            }
            SetEvent(m_bufferReady);
        }
    }

    HANDLE m_bufferReady = nullptr;
    HANDLE m_dataReady = nullptr;
    HANDLE m_section = nullptr;
    void* m_view = nullptr;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<std::pair<DWORD, std::wstring>> m_lines;
    std::thread m_thread;
};

TEST(TindoraExe, ASecondStartInTheSameFolderBringsTheFirstForwardAndLeaves)
{
    TempFolder folder;
    // Slot 1 falls due 8 seconds from now: both starts are over by then, and
    // the box comes once.
    TempFolder::write("time.txt", dueIn(8));
    Started first;
    ASSERT_TRUE(first.ok) << "tindora.exe at " << toUtf8(programPath());
    HWND window = nullptr;
    ASSERT_TRUE(waitFor([&] {
        const auto windows = windowsOf(first.process.dwProcessId);
        window = windows.empty() ? nullptr : windows.front();
        return window && IsWindowVisible(window);
    })) << "the window shows";

    // To the tray, as a left click on the icon does.
    PostMessageW(window, 2025, 0, 514);
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window); }));

    Started second;
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(WaitForSingleObject(second.process.hProcess, 10000), WAIT_OBJECT_0) << "the second copy leaves";
    DWORD secondExit = 1;
    GetExitCodeProcess(second.process.hProcess, &secondExit);
    EXPECT_EQ(secondExit, 0u);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) != FALSE; })) << "the first copy's window is back";

    EXPECT_TRUE(waitFor([] { return !boxesTitled(L"固定报时！").empty(); }, std::chrono::seconds(15)))
        << "the reminder comes";
    Sleep(2000); // time for a second box, were there a second copy
    const std::vector<HWND> boxes = boxesTitled(L"固定报时！");
    EXPECT_EQ(boxes.size(), 1u) << "one box for the one reminder";
    for (HWND box : boxes)
        PostMessageW(box, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitFor([] { return boxesTitled(L"固定报时！").empty(); }));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(first.process.hProcess, 10000), WAIT_OBJECT_0) << "closing the window ends it";
    DWORD firstExit = 1;
    GetExitCodeProcess(first.process.hProcess, &firstExit);
    EXPECT_EQ(firstExit, 0u);
}

// The session ends while a reminder's box is open and another program holds
// time.txt: the program agrees at once, cannot save, says so on the
// debugger's output (and in the event log) instead of in a box, and ends
// with the box still open; nothing asks whether to stay.
TEST(TindoraExe, TheEndOfTheSessionEndsTheProgramWithoutABoxWhenItsSaveFails)
{
    TempFolder folder;
    const std::string file = dueIn(8); // the start is over by then, however slow
    TempFolder::write("time.txt", file);
    DebugOutput debugOutput;
    ASSERT_TRUE(debugOutput.listening()) << systemErrorText(GetLastError());
    Started program;
    ASSERT_TRUE(program.ok) << "tindora.exe at " << toUtf8(programPath());
    const DWORD id = program.process.dwProcessId;
    HWND window = nullptr;
    ASSERT_TRUE(waitFor([&] {
        const auto windows = windowsOf(id);
        window = windows.empty() ? nullptr : windows.front();
        return window && IsWindowVisible(window);
    })) << "the window shows";
    ProcessBoxes boxes(id);
    ASSERT_TRUE(waitFor([&] { return !boxes.titles().empty(); }, std::chrono::seconds(15))) << "the reminder comes";

    // Held without sharing, as an editor or a backup tool can: the save fails.
    // Let go of however the test ends, so that the folder can go.
    std::unique_ptr<void, decltype(&CloseHandle)> held(
        CreateFileW(L"time.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
        &CloseHandle);
    if (held.get() == INVALID_HANDLE_VALUE)
        held.release();
    ASSERT_TRUE(held) << systemErrorText(GetLastError());
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer))
        << "answered at once, box or no box";
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    // The program ends while it handles the message, so there is no answer.
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_EQ(WaitForSingleObject(program.process.hProcess, 10000), WAIT_OBJECT_0) << "the program ends";
    DWORD exitCode = 1;
    GetExitCodeProcess(program.process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(boxes.titles(), std::vector<std::wstring>{L"固定报时！"}) << "the reminder's box, and no other";

    wchar_t location[MAX_PATH];
    ASSERT_NE(GetFullPathNameW(L"time.txt", MAX_PATH, location, nullptr), 0u);
    const std::wstring told = toWide(
        "Tindora: " +
        settings::describeSaveFailure(toUtf8(location),
                                      {settings::StoreErrorKind::InUse, 0, settings::StoreFile::Settings}, false) +
        "\n");
    EXPECT_TRUE(waitFor([&] {
        const auto lines = debugOutput.linesOf(id);
        return std::find(lines.begin(), lines.end(), told) != lines.end();
    })) << "told on the debugger's output: "
        << toUtf8(told);

    held.reset();
    EXPECT_EQ(TempFolder::read("time.txt"), file) << "time.txt as it was";
}

} // namespace
} // namespace tindora::win32::testing
