// The real tindora.exe, started as a user starts it: its window comes up, a
// second start in the same folder brings that window forward and leaves, and
// closing the window ends the program.
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

bool waitFor(const std::function<bool()>& done, DWORD timeoutMillis = 10000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMillis)
            return false;
        Sleep(20);
    }
    return true;
}

TEST(TindoraExe, ASecondStartInTheSameFolderBringsTheFirstForwardAndLeaves)
{
    TemporaryFolder folder;
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
