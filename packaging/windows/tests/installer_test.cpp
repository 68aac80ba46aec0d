// tindora-setup.exe as a user meets it, in a fresh Wine prefix: a quiet
// install, the program started from the Startup shortcut as a login starts it,
// a quiet reinstall over the running program, one over a program that cannot
// save, a quiet uninstall. The tests run
// in this order and each leaves the machine as the next one expects; each
// also makes what it needs itself when it runs alone.
//
// Run by installer_test.sh, which makes the prefix and names the files:
//   TINDORA_SETUP      the installer, a Unix path
//   TINDORA_BUILT_EXE  the tindora.exe it was made from, a Unix path
#include <windows.h>

#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

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

bool waitFor(const std::function<bool()>& done, DWORD timeoutMillis = 15000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMillis)
            return false;
        Sleep(50);
    }
    return true;
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

struct ChildSearch {
    HWND parent;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectChild(HWND child, LPARAM data)
{
    auto* search = reinterpret_cast<ChildSearch*>(data);
    wchar_t name[64];
    if (GetParent(child) == search->parent && GetClassNameW(child, name, 64) &&
        CompareStringOrdinal(name, -1, search->className, -1, TRUE) == CSTR_EQUAL)
        search->found.push_back(child);
    return TRUE;
}

// The window's controls of one kind, in the order the window made them.
std::vector<HWND> childrenOfClass(HWND window, const wchar_t* className)
{
    ChildSearch search{window, className, {}};
    EnumChildWindows(window, &collectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
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
    }

    static void ensureInstalled()
    {
        if (!exists(installedExe())) {
            ASSERT_EQ(installQuietly(), 0);
        }
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
    EXPECT_TRUE(exists(installFolder() + L"\\uninstall.exe"));
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

    // The user picks 8 in slot 1's hour list and types a note.
    const std::vector<HWND> combos = childrenOfClass(old.window, L"ComboBox");
    const std::vector<HWND> edits = childrenOfClass(old.window, L"Edit");
    ASSERT_EQ(combos.size(), 9u);
    ASSERT_EQ(edits.size(), 6u);
    HWND hours = combos[0]; // Combo2
    HWND note = edits[1];   // Text2
    SendMessageW(hours, CB_SETCURSEL, 8, 0);
    SendMessageW(old.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hours), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hours));
    const std::wstring noteText = L"升级前的提醒";
    SendMessageW(note, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(noteText.c_str()));
    const std::string savedSlot = "\"8\",\"\",\"\",\"5\",\"" + narrow(noteText, 936) + "\"\r\n";
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

} // namespace
