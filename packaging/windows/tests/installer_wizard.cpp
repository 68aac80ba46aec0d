#include "installer_wizard.h"

#include <commctrl.h>

namespace installer_test {

namespace {

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

struct TopLevelSearch {
    DWORD processId;
    HWND found;
};

// The wizard: a shown dialog of the process that has a Next button (a message
// box has none with that number).
BOOL CALLBACK findOuter(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[16];
    if (owner == search->processId && IsWindowVisible(window) && GetClassNameW(window, name, 16) &&
        CompareStringOrdinal(name, -1, L"#32770", -1, FALSE) == CSTR_EQUAL && GetDlgItem(window, IDOK)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// NSIS draws a component's tick box as state image 1 (not ticked), 2
// (ticked) or 3 (partly), each again 3 further on for a read-only one.
bool tickedImage(unsigned image) { return image == 2 || image == 5; }

} // namespace

std::vector<HWND> childrenOfClass(HWND window, const wchar_t* className)
{
    ChildSearch search{window, className, {}};
    EnumChildWindows(window, &collectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring windowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return L"";
    text.resize(copied);
    return text;
}

Wizard::Wizard(const std::wstring& setupExe)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + setupExe + L"\"";
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;
}

Wizard::~Wizard()
{
    if (!m_process)
        return;
    // A test that failed half-way leaves no installer behind for the next.
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT)
        TerminateProcess(m_process, 1);
    CloseHandle(m_process);
}

HWND Wizard::outer() const
{
    TopLevelSearch search{m_processId, nullptr};
    EnumWindows(&findOuter, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Wizard::page() const
{
    const HWND window = outer();
    if (!window)
        return nullptr;
    for (HWND child : childrenOfClass(window, L"#32770"))
        if (IsWindowVisible(child))
            return child;
    return nullptr;
}

HWND Wizard::waitForPage(const std::function<bool(HWND page)>& is, DWORD timeoutMillis) const
{
    HWND found = nullptr;
    waitFor(
        [&] {
            const HWND shown = page();
            if (shown && is(shown))
                found = shown;
            return found != nullptr;
        },
        timeoutMillis);
    return found;
}

std::wstring Wizard::nextLabel() const
{
    const HWND window = outer();
    return window ? windowText(GetDlgItem(window, IDOK)) : L"";
}

bool Wizard::next()
{
    const HWND window = outer();
    const HWND before = page();
    if (!window || !before)
        return false;
    const HWND button = GetDlgItem(window, IDOK);
    if (!waitFor([&] { return IsWindowEnabled(button) != FALSE; }, 60000))
        return false;
    // What a click on it sends; the wizard ignores it while it is disabled.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return waitFor([&] {
        if (WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0)
            return true;
        const HWND now = page();
        return now != nullptr && now != before;
    });
}

std::vector<Wizard::Item> Wizard::components(HWND tree) const
{
    std::vector<Item> items;
    // TVM_GETITEM takes a pointer, which only means something in the
    // installer's own memory: the record and its text buffer live there.
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, m_processId);
    if (!process)
        return items;
    struct Remote {
        TVITEMW item;
        wchar_t text[256];
    };
    auto* remote = static_cast<Remote*>(
        VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote) {
        auto* handle = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (; handle; handle = reinterpret_cast<HTREEITEM>(
                           SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(handle)))) {
            Remote local{};
            local.item.mask = TVIF_TEXT | TVIF_STATE;
            local.item.stateMask = TVIS_STATEIMAGEMASK;
            local.item.hItem = handle;
            local.item.pszText = remote->text;
            local.item.cchTextMax = 256;
            if (!WriteProcessMemory(process, remote, &local, sizeof local, nullptr) ||
                !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) ||
                !ReadProcessMemory(process, remote, &local, sizeof local, nullptr))
                break;
            local.text[255] = L'\0';
            items.push_back({handle, local.text, (local.item.state & TVIS_STATEIMAGEMASK) >> 12});
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return items;
}

bool Wizard::isTicked(HWND page, const std::wstring& component) const
{
    const std::vector<HWND> trees = childrenOfClass(page, WC_TREEVIEWW);
    if (trees.size() != 1)
        return false;
    for (const Item& item : components(trees[0]))
        if (item.text == component)
            return tickedImage(item.stateImage);
    return false;
}

bool Wizard::toggle(HWND page, const std::wstring& component)
{
    const std::vector<HWND> trees = childrenOfClass(page, WC_TREEVIEWW);
    if (trees.size() != 1)
        return false;
    const HWND tree = trees[0];
    for (const Item& item : components(tree)) {
        if (item.text != component)
            continue;
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item.handle));
        PostMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
        const bool was = tickedImage(item.stateImage);
        return waitFor([&] { return isTicked(page, component) != was; }, 5000);
    }
    return false;
}

long Wizard::exitCode(DWORD timeoutMillis) const
{
    DWORD code = static_cast<DWORD>(-1);
    if (m_process && WaitForSingleObject(m_process, timeoutMillis) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_process, &code);
    return static_cast<long>(code);
}

} // namespace installer_test
