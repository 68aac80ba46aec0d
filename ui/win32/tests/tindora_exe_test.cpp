// The real tindora.exe, started as a user starts it: its window comes up, a
// second start in the same folder brings that window forward and leaves (so
// a reminder comes once, not twice), and closing the window ends the program.
#include "window_test_support.h"

#include "wide_text.h"

#include <gtest/gtest.h>

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

struct Started {
    PROCESS_INFORMATION process{};
    bool ok = false;
};

Started startProgram()
{
    std::wstring commandLine = L"\"" + programPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    Started started;
    started.ok = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                &started.process) != FALSE;
    return started;
}

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

TEST(TindoraExe, ASecondStartInTheSameFolderBringsTheFirstForwardAndLeaves)
{
    TempFolder folder;
    // Slot 1 falls due 8 seconds from now (its warning, 5 minutes earlier,
    // has passed): both starts are over by then, and the box comes once.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int due = (now.wHour * 3600 + now.wMinute * 60 + now.wSecond + 8) % 86400;
    TempFolder::write("time.txt", "\"" + std::to_string(due / 3600) + "\",\"" + std::to_string(due / 60 % 60) +
                                      "\",\"" + std::to_string(due % 60) + "\",\"5\",\"\"\r\n" +
                                      "\"\",\"\",\"\",\"5\",\"\"\r\n\"\",\"\",\"\",\"5\",\"\"\r\n");
    Started first = startProgram();
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

    Started second = startProgram();
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

    for (Started* started : {&first, &second}) {
        if (WaitForSingleObject(started->process.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(started->process.hProcess, 1);
        CloseHandle(started->process.hProcess);
        CloseHandle(started->process.hThread);
    }
}

} // namespace
} // namespace tindora::win32::testing
