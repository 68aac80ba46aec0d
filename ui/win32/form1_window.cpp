#include "form1_window.h"

#include "control_layout.h"
#include "dpi.h"
#include "resource_ids.h"
#include "system_error.h"
#include "wide_text.h"

#include <commctrl.h>

#include <algorithm>

namespace tindora::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"Tindora.Form1";
constexpr int kFirstControlId = 1000;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

int px(int twips, int dpi) { return layout::twipsToPixels(twips, dpi); }

} // namespace

Form1Window::Form1Window(Form1& form, Win32Runtime& runtime) : m_form(form), m_runtime(runtime)
{
    m_form.setView(this);
}

Form1Window::~Form1Window()
{
    m_form.setView(nullptr);
    m_controls.clear();
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    if (m_font)
        DeleteObject(m_font);
    if (m_icon)
        DestroyIcon(m_icon);
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
}

UINT Form1Window::bringForwardMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Tindora.BringForward");
    return message;
}

bool Form1Window::create(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    m_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    m_smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Form1Window::windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = m_icon;
    windowClass.hIconSm = m_smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    // A class left registered by an earlier window of this process (tests)
    // serves again; any other refusal leaves CreateWindowExW to fail.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        reportFaultOnce("RegisterClassExW", GetLastError());

    bringForwardMessage();

    m_dpi = systemDpi();
    const SIZE outer = outerSize();
    m_window = CreateWindowExW(kWindowExStyle, kWindowClass, toWide(m_form.Caption()).c_str(), kWindowStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy, nullptr, nullptr, instance, this);
    if (!m_window) {
        m_creationError = GetLastError();
        return false;
    }
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

    // The window may sit on a monitor whose DPI differs from the system's.
    m_dpi = windowDpi(m_window);
    fitToClientArea(nullptr);

    createControls(instance);
    updateFont();
    layOutControls(m_controls, m_window, m_dpi);
    // Form_Load fills the nine lists with 480 items before the window shows;
    // lists that do not redraw take them some twenty times faster.
    setListsRedraw(false);
    return true;
}

void Form1Window::setListsRedraw(bool redraw)
{
    for (const auto& control : m_controls) {
        if (!control->kind().dropsDown)
            continue;
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(control->widget(), &info) && info.hwndList)
            SendMessageW(info.hwndList, WM_SETREDRAW, redraw, 0);
    }
}

SIZE Form1Window::outerSize() const
{
    const SIZE client{px(layout::kClientWidthTwips, m_dpi), px(layout::kClientHeightTwips, m_dpi)};
    return outerSizeForClient(client, kWindowStyle, kWindowExStyle, m_dpi);
}

void Form1Window::fitToClientArea(const POINT* at)
{
    const int width = px(layout::kClientWidthTwips, m_dpi);
    const int height = px(layout::kClientHeightTwips, m_dpi);
    const SIZE outer = outerSize();
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (at ? 0u : SWP_NOMOVE);
    SetWindowPos(m_window, nullptr, at ? at->x : 0, at ? at->y : 0, outer.cx, outer.cy, flags);
    // The frame the system draws may differ from what it computes for a DPI
    // (Wine keeps its 96-DPI frame): correct by what the client area turned out.
    RECT client;
    GetClientRect(m_window, &client);
    if (client.right != width || client.bottom != height)
        SetWindowPos(m_window, nullptr, 0, 0, outer.cx + width - client.right, outer.cy + height - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::createControls(HINSTANCE instance)
{
    // Created in tab order, which is also the order the keyboard follows.
    int id = kFirstControlId;
    m_form.controls().forEach([&](auto& control) {
        ++id;
        // The clip plays without a box on the window.
        if constexpr (!std::is_same_v<std::remove_cvref_t<decltype(control)>, OleContainer>) {
            if (HWND widget = createWidget(control.design(), widgetKindOf(control), m_window, id, instance, m_dpi))
                m_controls.push_back(makeNativeControl(control, widget));
        }
    });
    // A label reaches a little under the control to its right, which is drawn
    // over it: labels go to the bottom. They take no focus, so the tab order
    // of the others is unchanged.
    for (const auto& control : m_controls)
        if (control->kind().underneath)
            SetWindowPos(control->widget(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form1Window::updateFont()
{
    const LOGFONTW wanted = messageFontForDpi(m_dpi);
    HFONT font = CreateFontIndirectW(&wanted);
    if (!font) {
        // The controls keep the font they have (the system's, at first).
        reportFaultOnce("CreateFontIndirectW", GetLastError());
        return;
    }
    for (const auto& control : m_controls)
        SendMessageW(control->widget(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (m_font)
        DeleteObject(m_font);
    m_font = font;
}

NativeControl* Form1Window::controlOf(HWND widget) const
{
    if (!widget)
        return nullptr;
    for (const auto& control : m_controls)
        if (control->widget() == widget || IsChild(control->widget(), widget))
            return control.get();
    return nullptr;
}

HWND Form1Window::controlHandle(std::string_view name) const
{
    for (const auto& control : m_controls)
        if (control->design().name == name)
            return control->widget();
    return nullptr;
}

void Form1Window::windowChanged(WindowChange what)
{
    if (!m_window)
        return;
    switch (what) {
    case WindowChange::Visible:
        if (!m_form.Visible()) {
            ShowWindow(m_window, SW_HIDE);
            break;
        }
        if (!m_shownOnce)
            setListsRedraw(true);
        // Hidden while minimized, the window comes back at its normal size.
        ShowWindow(m_window, IsIconic(m_window) && m_form.WindowState() == FormWindow::kNormal ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(m_window);
        if (!m_shownOnce) {
            m_shownOnce = true;
            // The first control in tab order that takes the focus.
            const auto first = std::find_if(m_controls.begin(), m_controls.end(),
                                            [](const auto& control) { return control->kind().style & WS_TABSTOP; });
            m_lastFocus = first != m_controls.end() ? (*first)->widget() : nullptr;
            SetFocus(m_lastFocus);
        }
        break;
    case WindowChange::WindowState:
        if (m_form.WindowState() == FormWindow::kMinimized)
            ShowWindow(m_window, SW_MINIMIZE);
        else if (IsWindowVisible(m_window) && IsIconic(m_window))
            ShowWindow(m_window, SW_RESTORE);
        break;
    case WindowChange::Unloaded:
        DestroyWindow(m_window);
        break;
    }
}

int Form1Window::popupMenu(const Menu& menu)
{
    HMENU popup = CreatePopupMenu();
    if (!popup) {
        // No menu this time: as if the user dismissed it.
        reportFaultOnce("CreatePopupMenu", GetLastError());
        return -1;
    }
    UINT id = 0;
    for (const MenuItem* item : menu.items())
        AppendMenuW(popup, MF_STRING, ++id, toWide(item->Caption()).c_str());
    POINT at;
    GetCursorPos(&at);
    // Without being the foreground window the menu would not close when the
    // user clicks elsewhere.
    SetForegroundWindow(m_window);
    const auto chosen = static_cast<int>(TrackPopupMenu(
        popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, m_window, nullptr));
    DestroyMenu(popup);
    if (m_window)
        PostMessageW(m_window, WM_NULL, 0, 0);
    return chosen - 1;
}

void Form1Window::bringForward()
{
    m_form.Show();
    if (IsIconic(m_window))
        ShowWindow(m_window, SW_RESTORE);
    SetForegroundWindow(m_window);
}

LRESULT CALLBACK Form1Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT Form1Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam) {
            for (const auto& control : m_controls)
                if (control->widget() == reinterpret_cast<HWND>(lParam)) {
                    control->command(HIWORD(wParam));
                    break;
                }
        } else if (LOWORD(wParam) == IDOK && HIWORD(wParam) == 0) {
            // Enter, turned by IsDialogMessageW into the default button's
            // command. The window has no default button (no control is IDOK,
            // DM_GETDEFID answers nothing): Enter commits the field it was
            // pressed in and does nothing else. A push button reached by Tab
            // is made the default and gets its own BN_CLICKED instead.
            if (NativeControl* focused = controlOf(GetFocus()))
                focused->enterPressed();
        }
        return 0;
    case WM_TIMER:
        if (m_runtime.handleTimer(wParam))
            return 0;
        break;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            m_form.systemChangedWindowState(FormWindow::kMinimized);
        else if (wParam == SIZE_RESTORED)
            m_form.systemChangedWindowState(FormWindow::kNormal);
        return 0;
    case WM_ACTIVATE:
        // Focus leaves with the window and comes back to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_window, focus))
                m_lastFocus = focus;
        } else if (m_lastFocus && IsWindow(m_lastFocus)) {
            SetFocus(m_lastFocus);
            return 0;
        }
        break;
    case WM_CLOSE:
        m_form.systemRequestedClose();
        return 0;
    case WM_QUERYENDSESSION:
        // Nothing to ask: the settings are saved when the session really ends.
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) {
            // The session ends: save (a failure goes to the event log, never
            // to a box), remove the tray icon, unload. The system may end the
            // process as soon as this returns, and an announcement box may be
            // open further down the stack, in its own modal loop, with a tick
            // waiting to go on after it: end here, with everything done.
            m_form.systemEndedSession();
            m_runtime.endProgram();
        }
        return 0;
    case WM_TIMECHANGE:
        // The clock was set, or the time zone changed: Windows broadcasts
        // this to every top-level window after either (not after a daylight
        // saving change, which the tick's wake-up at most a minute later
        // finds in the UTC offset).
        m_runtime.clockChanged();
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            m_runtime.clockChanged();
        return TRUE;
    case WM_SETTINGCHANGE:
        // Tools that change the zone's rules or the locale broadcast a
        // settings change under various names; planning anew is cheap, so
        // any settings change re-plans rather than guessing its name.
        m_runtime.clockChanged();
        break;
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        const POINT at{suggested->left, suggested->top};
        fitToClientArea(&at);
        updateFont();
        layOutControls(m_controls, m_window, m_dpi);
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    }
    default:
        if (message == bringForwardMessage()) {
            bringForward();
            return 0;
        }
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

int Form1Window::runMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (preprocessMessage(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool Form1Window::preprocessMessage(MSG& message)
{
    // Tab and the arrow keys move between the controls as in a dialog, and
    // Enter comes back as IDOK (handleMessage). Messages for other windows
    // (a box) are left alone.
    return m_window && IsDialogMessageW(m_window, &message);
}

} // namespace tindora::win32
