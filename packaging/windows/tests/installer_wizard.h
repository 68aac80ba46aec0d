#pragma once
// The installer's pages as a user clicks through them, driven from this
// process: the wizard's window and current page, the text of a control, the
// components' tick boxes, Next. The installer is NSIS with the modern UI:
// one outer dialog, and each page a child dialog of it, made anew per page.

#include "test_support.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace installer_test {

// The tests' shared wait, in the milliseconds Windows counts in: an installer
// under Wine takes its time, so 15 s unless told.
inline bool waitFor(const std::function<bool()>& done, DWORD timeoutMillis = 15000)
{
    return tindora::testkit::waitFor(done, std::chrono::milliseconds(timeoutMillis), std::chrono::milliseconds(50));
}

// A window's direct children of one class, in the order they were made.
std::vector<HWND> childrenOfClass(HWND window, const wchar_t* className);

// Its text, also for a control of another process (WM_GETTEXT is carried
// across; GetWindowText is not).
std::wstring windowText(HWND window);

class Wizard {
public:
    // Starts the installer with no switches, so its pages show.
    explicit Wizard(const std::wstring& setupExe);
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    bool started() const { return m_process != nullptr; }

    // The page shown once `is` holds for it; null if none does in time.
    HWND waitForPage(const std::function<bool(HWND page)>& is, DWORD timeoutMillis = 30000) const;

    // The Next button's label (下一步, 我接受, 安装, 完成...).
    std::wstring nextLabel() const;

    // Presses Next once it is enabled; true when the page then changed or the
    // installer ended.
    bool next();

    // The components page: the tick box of the component of this name, false
    // when there is none.
    bool isTicked(HWND page, const std::wstring& component) const;
    // Ticks or unticks it the way the keyboard does (select it, space).
    bool toggle(HWND page, const std::wstring& component);

    // Waits for the installer to end; its exit code, or -1.
    long exitCode(DWORD timeoutMillis = 60000) const;

private:
    struct Item {
        void* handle;
        std::wstring text;
        unsigned stateImage;
    };
    std::vector<Item> components(HWND tree) const;
    HWND outer() const;
    HWND page() const;

    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

} // namespace installer_test
