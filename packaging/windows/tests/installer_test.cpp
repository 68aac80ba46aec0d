// tindora-setup.exe as a user meets it, in a fresh Wine prefix: a quiet
// install, the program started from the Startup shortcut as a login starts it,
// a quiet reinstall over the running program, one over a program that cannot
// save, a quiet uninstall, an upgrade from an older version installed through
// its pages. The tests run in this order and each leaves the machine as the
// next one expects; each also makes what it needs itself when it runs alone.
//
// Run by installer_test.sh, which makes the prefix and names the files, all
// Unix paths:
//   TINDORA_SETUP        the installer
//   TINDORA_BUILT_EXE    the tindora.exe it was made from
//   TINDORA_LICENSE      the licence it carries (LICENSE, with LF line ends)
//   TINDORA_OLDER_SETUP  the same installer under the version TINDORA_OLDER_VERSION
#include "installer_wizard.h"

#include <windows.h>

#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using installer_test::childrenOfClass;
using installer_test::waitFor;

constexpr wchar_t kWindowClass[] = L"Tindora.Form1";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tindora";

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string narrow(const std::wstring& text, UINT codePage = CP_UTF8)
{
    const int size = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

// A Unix path from the environment, as Wine's drive Z: sees it.
std::wstring unixFileFromEnvironment(const wchar_t* name)
{
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"";
    std::wstring path = L"Z:" + std::wstring(value, length);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::wstring knownFolder(int csidl)
{
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return L"";
    return path;
}

std::wstring installFolder() { return knownFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Tindora"; }
std::wstring installedExe() { return installFolder() + L"\\tindora.exe"; }
std::wstring settingsFolder() { return knownFolder(CSIDL_APPDATA) + L"\\Tindora"; }
std::wstring settingsFile() { return settingsFolder() + L"\\time.txt"; }
std::wstring startMenuShortcut() { return knownFolder(CSIDL_PROGRAMS) + L"\\Tindora.lnk"; }
std::wstring startupShortcut() { return knownFolder(CSIDL_STARTUP) + L"\\Tindora.lnk"; }

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool samePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string readFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The names in a folder, sorted.
std::vector<std::wstring> filesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// A text as Notepad wants it on any Windows: every line ending in CR LF.
std::string withCrLf(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

// Its words, one space apart: a file and a text box that shows it break and
// space lines differently.
std::wstring words(const std::wstring& text)
{
    std::wstring result;
    for (wchar_t c : text) {
        if (!std::iswspace(c))
            result += c;
        else if (!result.empty() && result.back() != L' ')
            result += L' ';
    }
    if (!result.empty() && result.back() == L' ')
        result.pop_back();
    return result;
}

// Runs a command line to its end; its exit code, or -1.
long run(std::wstring commandLine, DWORD timeoutMillis = 60000)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMillis) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

long installQuietly() { return run(L"\"" + unixFileFromEnvironment(L"TINDORA_SETUP") + L"\" /S"); }

struct Shortcut {
    bool loaded = false;
    std::wstring target;
    std::wstring workingFolder;
    std::wstring icon;
};

Shortcut readShortcut(const std::wstring& path)
{
    Shortcut shortcut;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return shortcut;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t text[MAX_PATH] = L"";
            shortcut.loaded = true;
            if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
                shortcut.target = text;
            if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH)))
                shortcut.workingFolder = text;
            int index = 0;
            if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &index)))
                shortcut.icon = std::wstring(text) + L"," + std::to_wstring(index);
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

// A value of the uninstall entry, as text; empty when there is none.
std::wstring entryValue(HKEY root, const wchar_t* name)
{
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegGetValueW(root, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &number, &size) == ERROR_SUCCESS)
        return std::to_wstring(number);
    wchar_t text[1024];
    size = sizeof text;
    if (RegGetValueW(root, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return L"";
    return text;
}

bool entryExists(HKEY root)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Every uninstall entry that the list of programs shows as Tindora, per user
// or machine-wide, whatever its key: the version each shows.
std::vector<std::wstring> versionsListedAsTindora()
{
    std::vector<std::wstring> versions;
    const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, uninstall.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        wchar_t name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = 256;
            if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            const std::wstring entry = uninstall + L"\\" + name;
            wchar_t text[256];
            DWORD size = sizeof text;
            if (RegGetValueW(root, entry.c_str(), L"DisplayName", RRF_RT_REG_SZ, nullptr, text, &size) !=
                    ERROR_SUCCESS ||
                std::wstring(text).find(L"Tindora") != 0)
                continue;
            size = sizeof text;
            if (RegGetValueW(root, entry.c_str(), L"DisplayVersion", RRF_RT_REG_SZ, nullptr, text, &size) !=
                ERROR_SUCCESS)
                text[0] = L'\0';
            versions.push_back(text);
        }
        RegCloseKey(key);
    }
    return versions;
}

struct Version {
    DWORD fixedMS = 0;
    DWORD fixedLS = 0;
    std::wstring productVersion;
    std::wstring fileVersion;
};

Version versionOf(const std::wstring& file)
{
    Version version;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return version;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data()))
        return version;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        version.fixedMS = fixed->dwFileVersionMS;
        version.fixedLS = fixed->dwFileVersionLS;
    }
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation)
        return version;
    wchar_t block[64];
    wsprintfW(block, L"\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
    for (auto [name, into] :
         {std::pair{L"ProductVersion", &version.productVersion}, std::pair{L"FileVersion", &version.fileVersion}}) {
        wchar_t* text = nullptr;
        if (VerQueryValueW(data.data(), (std::wstring(block) + name).c_str(), reinterpret_cast<void**>(&text),
                           &length) &&
            text)
            *into = text;
    }
    return version;
}

// A running copy of Tindora: its window, process and exe.
struct RunningCopy {
    HWND window = nullptr;
    DWORD processId = 0;
    HANDLE process = nullptr;
    std::wstring exe;

    RunningCopy() = default;
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;
    RunningCopy(RunningCopy&& other) noexcept { *this = std::move(other); }
    RunningCopy& operator=(RunningCopy&& other) noexcept
    {
        std::swap(window, other.window);
        std::swap(processId, other.processId);
        std::swap(process, other.process);
        std::swap(exe, other.exe);
        return *this;
    }
    ~RunningCopy()
    {
        if (process)
            CloseHandle(process);
    }
    bool ended() const { return process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }
    DWORD exitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process, &code);
        return code;
    }
};

// The copy whose window shows, found the way the installer finds it.
RunningCopy findRunningCopy(DWORD timeoutMillis = 15000)
{
    RunningCopy copy;
    waitFor(
        [&] {
            HWND window = FindWindowW(kWindowClass, nullptr);
            return window && IsWindowVisible(window) && (copy.window = window);
        },
        timeoutMillis);
    if (!copy.window)
        return copy;
    GetWindowThreadProcessId(copy.window, &copy.processId);
    copy.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copy.processId);
    wchar_t exe[MAX_PATH];
    DWORD length = MAX_PATH;
    if (copy.process && QueryFullProcessImageNameW(copy.process, 0, exe, &length))
        copy.exe.assign(exe, length);
    return copy;
}

// As Explorer starts a shortcut: at login for the Startup folder's, on a
// click for the Start menu's.
bool openShortcut(const std::wstring& path)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

// The user picks 8 in slot 1's hour list and types a note in the window of a
// running copy; the line the program is then to save for slot 1, or "" when
// the window lacks the lists or text boxes.
std::string changeSlotOne(HWND window, const std::wstring& note)
{
    const std::vector<HWND> combos = childrenOfClass(window, L"ComboBox");
    const std::vector<HWND> edits = childrenOfClass(window, L"Edit");
    if (combos.size() != 9u || edits.size() != 6u)
        return "";
    HWND hours = combos[0]; // Combo2
    HWND text = edits[1];   // Text2
    SendMessageW(hours, CB_SETCURSEL, 8, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hours), CBN_SELCHANGE), reinterpret_cast<LPARAM>(hours));
    SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(note.c_str()));
    return "\"8\",\"\",\"\",\"5\",\"" + narrow(note, 936) + "\"\r\n";
}

// The rich text box of a page (the licence page's), or null.
HWND richEditOf(HWND page)
{
    for (const wchar_t* className : {L"RichEdit20W", L"RichEdit20A"})
        for (HWND control : childrenOfClass(page, className))
            return control;
    return nullptr;
}

// The tick boxes of a page.
std::vector<HWND> tickBoxesOf(HWND page)
{
    std::vector<HWND> boxes;
    for (HWND button : childrenOfClass(page, L"Button"))
        if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
            boxes.push_back(button);
    return boxes;
}

// Slot 1 as the window shows it: the hour list's choice and the note.
struct SlotShown {
    LRESULT hour = CB_ERR;
    std::wstring note;
};

SlotShown slotOneShown(HWND window)
{
    const std::vector<HWND> combos = childrenOfClass(window, L"ComboBox");
    const std::vector<HWND> edits = childrenOfClass(window, L"Edit");
    if (combos.empty() || edits.size() < 2)
        return {};
    return {SendMessageW(combos[0], CB_GETCURSEL, 0, 0), installer_test::windowText(edits[1])};
}

class InstallerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // A current folder of our own, which must stay free of time.txt.
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        s_ownFolder = std::wstring(temp) + L"tindora-installer-test";
        CreateDirectoryW(s_ownFolder.c_str(), nullptr);
        SetCurrentDirectoryW(s_ownFolder.c_str());
    }
    static void TearDownTestSuite() { CoUninitialize(); }

    void SetUp() override
    {
        ASSERT_FALSE(unixFileFromEnvironment(L"TINDORA_SETUP").empty()) << "TINDORA_SETUP names the installer";
        ASSERT_FALSE(unixFileFromEnvironment(L"TINDORA_BUILT_EXE").empty()) << "TINDORA_BUILT_EXE names the exe";
        ASSERT_NE(readFile(unixFileFromEnvironment(L"TINDORA_LICENSE")).find("Permission is hereby granted"),
                  std::string::npos)
            << "TINDORA_LICENSE names the licence";
        ASSERT_FALSE(unixFileFromEnvironment(L"TINDORA_OLDER_SETUP").empty())
            << "TINDORA_OLDER_SETUP names an installer of an older version";
    }

    static void ensureInstalled()
    {
        if (!exists(installedExe())) {
            ASSERT_EQ(installQuietly(), 0);
        }
    }

    static void ensureUninstalled()
    {
        if (!entryExists(HKEY_CURRENT_USER))
            return;
        ASSERT_EQ(run(entryValue(HKEY_CURRENT_USER, L"QuietUninstallString")), 0);
        ASSERT_TRUE(waitFor([] { return !exists(installFolder()); }, 30000));
    }

    static RunningCopy ensureRunning()
    {
        if (!FindWindowW(kWindowClass, nullptr))
            openShortcut(startMenuShortcut());
        return findRunningCopy();
    }

    static inline std::wstring s_ownFolder;
};

TEST_F(InstallerTest, AQuietInstallPutsTheProgramItsShortcutsAndItsUninstallEntryInPlace)
{
    ASSERT_FALSE(exists(installFolder())) << "a fresh prefix";
    ASSERT_EQ(installQuietly(), 0);

    ASSERT_TRUE(exists(installedExe()));
    EXPECT_EQ(readFile(installedExe()), readFile(unixFileFromEnvironment(L"TINDORA_BUILT_EXE")))
        << "the exe installed is the one built";
    EXPECT_EQ(filesIn(installFolder()), (std::vector<std::wstring>{L"LICENSE.txt", L"tindora.exe", L"uninstall.exe"}));
    EXPECT_EQ(readFile(installFolder() + L"\\LICENSE.txt"),
              withCrLf(readFile(unixFileFromEnvironment(L"TINDORA_LICENSE"))))
        << "the licence beside the exe, as Notepad shows it";
    EXPECT_TRUE(exists(settingsFolder())) << "the settings folder is made";
    EXPECT_FALSE(exists(settingsFile())) << "only the program writes time.txt";

    for (const std::wstring& path : {startMenuShortcut(), startupShortcut()}) {
        SCOPED_TRACE(narrow(path));
        const Shortcut shortcut = readShortcut(path);
        ASSERT_TRUE(shortcut.loaded);
        EXPECT_TRUE(samePath(shortcut.target, installedExe())) << narrow(shortcut.target);
        EXPECT_TRUE(samePath(shortcut.workingFolder, settingsFolder())) << narrow(shortcut.workingFolder);
        EXPECT_TRUE(samePath(shortcut.icon, installedExe() + L",0")) << narrow(shortcut.icon);
    }

    const std::wstring uninstaller = L"\"" + installFolder() + L"\\uninstall.exe\"";
    struct Expected {
        const wchar_t* name;
        std::wstring value;
    };
    for (const Expected& expected : std::vector<Expected>{
             {L"DisplayName", L"Tindora"},
             {L"DisplayVersion", widen(TINDORA_VERSION)},
             {L"Publisher", L"Tindora"},
             {L"DisplayIcon", installedExe() + L",0"},
             {L"InstallLocation", installFolder()},
             {L"UninstallString", uninstaller},
             {L"QuietUninstallString", uninstaller + L" /S"},
         }) {
        EXPECT_TRUE(samePath(entryValue(HKEY_CURRENT_USER, expected.name), expected.value))
            << narrow(expected.name) << " is " << narrow(entryValue(HKEY_CURRENT_USER, expected.name));
    }
    // The size Windows shows, in KB: the exe and the uninstaller.
    WIN32_FILE_ATTRIBUTE_DATA exe{};
    GetFileAttributesExW(installedExe().c_str(), GetFileExInfoStandard, &exe);
    const unsigned long size = wcstoul(entryValue(HKEY_CURRENT_USER, L"EstimatedSize").c_str(), nullptr, 10);
    EXPECT_GE(size, exe.nFileSizeLow / 1024);
    EXPECT_LE(size, exe.nFileSizeLow / 1024 + 200);
    EXPECT_FALSE(entryExists(HKEY_LOCAL_MACHINE)) << "a per-user install writes nothing machine-wide";
}

TEST_F(InstallerTest, TheProgramAndTheInstallerCarryTheProjectVersion)
{
    ensureInstalled();
    unsigned major = 0, minor = 0, patch = 0, tweak = 0;
    sscanf(TINDORA_VERSION, "%u.%u.%u.%u", &major, &minor, &patch, &tweak);
    for (const std::wstring& file : {installedExe(), unixFileFromEnvironment(L"TINDORA_SETUP")}) {
        SCOPED_TRACE(narrow(file));
        const Version version = versionOf(file);
        EXPECT_EQ(version.fixedMS, MAKELONG(minor, major));
        EXPECT_EQ(version.fixedLS, MAKELONG(tweak, patch));
        EXPECT_EQ(version.productVersion, widen(TINDORA_VERSION));
        EXPECT_EQ(version.fileVersion, widen(TINDORA_VERSION));
    }
    EXPECT_NE(unixFileFromEnvironment(L"TINDORA_SETUP").find(L"tindora-setup-" + widen(TINDORA_VERSION) + L".exe"),
              std::wstring::npos)
        << "the installer's name carries the version";
}

TEST_F(InstallerTest, StartedFromTheStartupShortcutItKeepsTimeTxtInTheSettingsFolderOnly)
{
    ensureInstalled();
    ASSERT_EQ(FindWindowW(kWindowClass, nullptr), nullptr) << "no copy runs yet";
    ASSERT_TRUE(openShortcut(startupShortcut()));
    const RunningCopy copy = findRunningCopy();
    ASSERT_NE(copy.window, nullptr) << "the window shows";
    EXPECT_TRUE(samePath(copy.exe, installedExe())) << narrow(copy.exe);

    EXPECT_TRUE(waitFor([] { return exists(settingsFile()); })) << "time.txt is made at start-up";
    for (const std::wstring& folder :
         {s_ownFolder, installFolder(), knownFolder(CSIDL_SYSTEM), knownFolder(CSIDL_WINDOWS),
          knownFolder(CSIDL_PROFILE), knownFolder(CSIDL_STARTUP), knownFolder(CSIDL_DESKTOPDIRECTORY)})
        EXPECT_FALSE(exists(folder + L"\\time.txt")) << narrow(folder);
    // It stays running: the reinstall below meets it.
}

TEST_F(InstallerTest, AQuietReinstallEndsTheRunningCopyWhichSavesTheSlotChangedInItsWindow)
{
    ensureInstalled();
    RunningCopy old = ensureRunning();
    ASSERT_NE(old.window, nullptr);

    const std::string savedSlot = changeSlotOne(old.window, L"升级前的提醒");
    ASSERT_FALSE(savedSlot.empty()) << "the window has its lists and text boxes";
    ASSERT_EQ(readFile(settingsFile()).find(savedSlot), std::string::npos) << "not saved before the reinstall";

    ASSERT_EQ(installQuietly(), 0);
    EXPECT_TRUE(old.ended()) << "the installer waited for the old copy to end";
    EXPECT_EQ(old.exitCode(), 0u) << "it ended on its own, not killed";
    EXPECT_EQ(readFile(settingsFile()).substr(0, savedSlot.size()), savedSlot) << "the slot was saved";

    // A quiet upgrade starts the program again.
    const RunningCopy again = findRunningCopy();
    ASSERT_NE(again.window, nullptr);
    EXPECT_NE(again.processId, old.processId);
    EXPECT_TRUE(samePath(again.exe, installedExe()));
}

// A message box of the process, or null.
HWND boxOf(DWORD processId)
{
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner == processId)
            return box;
    }
    return nullptr;
}

TEST_F(InstallerTest, ACopyThatCannotSaveIsNeverKilledTheQuietInstallStopsInstead)
{
    ensureInstalled();
    const RunningCopy copy = ensureRunning();
    ASSERT_NE(copy.window, nullptr);
    ASSERT_TRUE(waitFor([] { return exists(settingsFile()); }));
    const std::string settings = readFile(settingsFile());

    // Another program holds time.txt open, sharing nothing: the save fails.
    HANDLE lock = CreateFileW(settingsFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(installQuietly(), 2) << "aborted by the setup itself";
    EXPECT_FALSE(copy.ended()) << "the copy that could not save was not killed";
    HWND box = boxOf(copy.processId);
    ASSERT_NE(box, nullptr) << "it tells the user that the save failed";
    wchar_t text[512] = L"";
    SendMessageW(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    EXPECT_NE(std::wstring(text).find(L"无法保存设置文件"), std::wstring::npos) << narrow(text);
    EXPECT_TRUE(exists(installedExe()));
    EXPECT_TRUE(entryExists(HKEY_CURRENT_USER));
    CloseHandle(lock);

    // The user chooses to stay; the program runs on as it was.
    SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }));
    EXPECT_FALSE(copy.ended());
    EXPECT_EQ(readFile(settingsFile()), settings);
}

TEST_F(InstallerTest, AQuietUninstallEndsTheProgramRemovesWhatItInstalledAndKeepsTheSettings)
{
    ensureInstalled();
    const RunningCopy copy = ensureRunning();
    ASSERT_NE(copy.window, nullptr);
    ASSERT_TRUE(waitFor([] { return exists(settingsFile()); }));
    const std::string settings = readFile(settingsFile());

    const std::wstring command = entryValue(HKEY_CURRENT_USER, L"QuietUninstallString");
    ASSERT_FALSE(command.empty());
    ASSERT_EQ(run(command), 0);
    // The uninstaller runs on from a copy of itself in %TEMP% and goes on
    // after the one started here has returned.
    EXPECT_TRUE(waitFor([] { return !exists(installFolder()); }, 30000)) << "the program's folder is removed";
    EXPECT_TRUE(copy.ended());
    EXPECT_EQ(copy.exitCode(), 0u);

    EXPECT_FALSE(exists(startMenuShortcut()));
    EXPECT_FALSE(exists(startupShortcut()));
    EXPECT_FALSE(entryExists(HKEY_CURRENT_USER));
    EXPECT_EQ(readFile(settingsFile()), settings) << "time.txt stays, as the program saved it";
}

TEST_F(InstallerTest, AnUpgradeKeepsTheUsersChoiceOfNoStartAtLogin)
{
    ensureInstalled();
    ASSERT_TRUE(DeleteFileW(startupShortcut().c_str()));
    ASSERT_EQ(installQuietly(), 0);
    EXPECT_FALSE(exists(startupShortcut()));
    EXPECT_TRUE(exists(startMenuShortcut()));
}

// The older version as a user installs it, through its pages: the licence is
// shown, start at login unticked; its finish page starts the program, where
// the user changes a slot. The current version, installed quietly over it,
// keeps both the slot and the choice, and lists itself once, new version.
TEST_F(InstallerTest, AnUpgradeFromAnOlderVersionKeepsTheRemindersAndTheChoiceOfNoStartAtLogin)
{
    ensureUninstalled();
    DeleteFileW(settingsFile().c_str());
    const std::wstring program = L"Tindora（必需）";
    const std::wstring atLogin = L"登录 Windows 时自动启动 Tindora";
    {
        installer_test::Wizard wizard(unixFileFromEnvironment(L"TINDORA_OLDER_SETUP"));
        ASSERT_TRUE(wizard.started());
        ASSERT_NE(wizard.waitForPage([](HWND) { return true; }), nullptr) << "the welcome page";
        ASSERT_TRUE(wizard.next());

        const HWND licence = wizard.waitForPage([](HWND page) { return richEditOf(page) != nullptr; });
        ASSERT_NE(licence, nullptr) << "the licence page";
        EXPECT_EQ(words(installer_test::windowText(richEditOf(licence))),
                  words(widen(readFile(unixFileFromEnvironment(L"TINDORA_LICENSE")))));
        ASSERT_TRUE(wizard.next()) << "accepted";

        const HWND components = wizard.waitForPage(
            [](HWND page) { return !childrenOfClass(page, L"SysTreeView32").empty(); });
        ASSERT_NE(components, nullptr) << "the components page";
        EXPECT_TRUE(wizard.isTicked(components, program));
        ASSERT_TRUE(wizard.isTicked(components, atLogin)) << "ticked unless the user unticks it";
        ASSERT_TRUE(wizard.toggle(components, atLogin));
        ASSERT_FALSE(wizard.isTicked(components, atLogin));
        ASSERT_TRUE(wizard.next());

        const HWND folder = wizard.waitForPage([](HWND page) { return !childrenOfClass(page, L"Edit").empty(); });
        ASSERT_NE(folder, nullptr) << "the folder page";
        EXPECT_TRUE(samePath(installer_test::windowText(childrenOfClass(folder, L"Edit")[0]), installFolder()));
        ASSERT_TRUE(wizard.next()) << "installing";

        // The page before it may still show for a moment with the same label.
        const HWND finish = wizard.waitForPage(
            [&](HWND page) {
                return wizard.nextLabel().find(L"完成") != std::wstring::npos && !tickBoxesOf(page).empty();
            },
            60000);
        ASSERT_NE(finish, nullptr) << "the finish page, with a tick box";
        const std::vector<HWND> boxes = tickBoxesOf(finish);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(SendMessageW(boxes[0], BM_GETCHECK, 0, 0), BST_CHECKED) << "it offers to start the program, ticked";
        ASSERT_TRUE(wizard.next());
        EXPECT_EQ(wizard.exitCode(), 0);
    }
    EXPECT_EQ(entryValue(HKEY_CURRENT_USER, L"DisplayVersion"), widen(TINDORA_OLDER_VERSION));
    ASSERT_FALSE(exists(startupShortcut())) << "the older version does not start at login";
    EXPECT_TRUE(exists(startMenuShortcut()));

    const RunningCopy old = findRunningCopy();
    ASSERT_NE(old.window, nullptr) << "the finish page started the older version";
    EXPECT_TRUE(samePath(old.exe, installedExe()));
    const std::string savedSlot = changeSlotOne(old.window, L"旧版本里改的提醒");
    ASSERT_FALSE(savedSlot.empty()) << "the window has its lists and text boxes";
    ASSERT_TRUE(waitFor([] { return exists(settingsFile()); }));
    ASSERT_EQ(readFile(settingsFile()).find(savedSlot), std::string::npos) << "not saved before the upgrade";

    ASSERT_EQ(installQuietly(), 0);
    EXPECT_TRUE(old.ended()) << "the installer waited for the older version to end";
    EXPECT_EQ(old.exitCode(), 0u) << "it ended on its own, not killed";
    EXPECT_EQ(readFile(settingsFile()).substr(0, savedSlot.size()), savedSlot)
        << "time.txt is kept, with the slot changed in the older version";
    EXPECT_FALSE(exists(startupShortcut())) << "the upgrade keeps start at login off";
    EXPECT_TRUE(exists(startMenuShortcut()));
    EXPECT_EQ(versionsListedAsTindora(), std::vector<std::wstring>{widen(TINDORA_VERSION)})
        << "one uninstall entry, with the new version";
    EXPECT_EQ(versionOf(installFolder() + L"\\uninstall.exe").productVersion, widen(TINDORA_VERSION))
        << "the uninstaller is the new version's";

    // The quiet upgrade started the program again, which shows the slot.
    const RunningCopy again = findRunningCopy();
    ASSERT_NE(again.window, nullptr);
    EXPECT_NE(again.processId, old.processId);
    const SlotShown shown = slotOneShown(again.window);
    EXPECT_EQ(shown.hour, 8);
    EXPECT_EQ(shown.note, L"旧版本里改的提醒");
}

} // namespace
