#pragma once
// Form1 as a native window: the window sized to its client area at its DPI,
// its controls (control_layout.h, native_controls.h), the window's own state
// mirrored both ways, and its procedure and message loop. The tray icon's
// procedure goes in front of this one (win32_tray_icon.h).

#include "form1.h"
#include "native_controls.h"
#include "win32_runtime.h"

#include <memory>
#include <string_view>
#include <vector>

#include <windows.h>

namespace tindora::win32 {

class Form1Window : public WindowView {
public:
    Form1Window(Form1& form, Win32Runtime& runtime);
    ~Form1Window() override;
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    // Creates the window and its controls, hidden; false when the system
    // refused, with its error code in creationError().
    bool create(HINSTANCE instance);
    DWORD creationError() const { return m_creationError; }
    HWND handle() const { return m_window; }
    // The native control of a design name, or nullptr (OLE1 has none).
    HWND controlHandle(std::string_view name) const;
    int dpi() const { return m_dpi; }

    // Runs the message loop until the program quits; returns the exit code.
    int runMessageLoop();
    // The window's share of the message loop, for every message taken from
    // the queue: Tab, the arrow keys and Enter as in a dialog. True when it
    // handled the message; otherwise translate and dispatch it as usual.
    bool preprocessMessage(MSG& message);

    // The message a second copy of the program posts to bring this one forward.
    static UINT bringForwardMessage();

    // The window's icon, also the tray icon's.
    HICON icon() const { return m_icon; }

    void windowChanged(WindowChange what) override;
    int popupMenu(const Menu& menu) override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    // The view of the control that is `widget` or holds it (a combo box's
    // edit field), or nullptr.
    NativeControl* controlOf(HWND widget) const;
    void updateFont();
    void setListsRedraw(bool redraw);
    void bringForward();
    SIZE outerSize() const;
    // Sizes the window so that its client area is the designed one.
    void fitToClientArea(const POINT* at);

    Form1& m_form;
    Win32Runtime& m_runtime;
    HWND m_window = nullptr;
    HICON m_icon = nullptr;
    HICON m_smallIcon = nullptr;
    HFONT m_font = nullptr;
    int m_dpi = 96;
    HWND m_lastFocus = nullptr;
    bool m_shownOnce = false;
    DWORD m_creationError = 0;
    std::vector<std::unique_ptr<NativeControl>> m_controls;
};

} // namespace tindora::win32
