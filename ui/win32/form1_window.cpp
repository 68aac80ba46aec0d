#include "form1_window.h"

#include "resource_ids.h"
#include "wide_text.h"

#include <commctrl.h>

#include <algorithm>

namespace tindora::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"Tindora.Form1";
constexpr int kFirstControlId = 1000;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr int kDroppedListItems = 12;

#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// The per-monitor DPI calls exist from Windows 10 1607 on; Windows 7 and 8
// fall back to the system DPI.
struct DpiApi {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    using SpiForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    GetDpiForWindowFn getDpiForWindow = nullptr;
    AdjustForDpiFn adjustWindowRectExForDpi = nullptr;
    SpiForDpiFn systemParametersInfoForDpi = nullptr;

    static const DpiApi& get()
    {
        static const DpiApi api = [] {
            DpiApi loaded;
            if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
                loaded.getDpiForWindow =
                    reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
                loaded.adjustWindowRectExForDpi = reinterpret_cast<AdjustForDpiFn>(
                    reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
                loaded.systemParametersInfoForDpi = reinterpret_cast<SpiForDpiFn>(
                    reinterpret_cast<void*>(GetProcAddress(user32, "SystemParametersInfoForDpi")));
            }
            return loaded;
        }();
        return api;
    }
};

int systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int windowDpi(HWND window)
{
    const DpiApi& api = DpiApi::get();
    if (api.getDpiForWindow && window)
        if (const UINT dpi = api.getDpiForWindow(window))
            return static_cast<int>(dpi);
    return systemDpi();
}

int px(int twips, int dpi) { return layout::twipsToPixels(twips, dpi); }

std::wstring windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

} // namespace

// One control of the layout table: mirrors its model into the widget and
// feeds the user's input back into the model.
class Form1Window::NativeControl : public ControlView {
public:
    NativeControl(const layout::ControlSpec& design, Control* model, HWND widget)
        : m_design(design), m_model(model), m_widget(widget)
    {
        if (m_model)
            m_model->setView(this);
    }
    ~NativeControl() override
    {
        if (m_model)
            m_model->setView(nullptr);
    }
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    const layout::ControlSpec& design() const { return m_design; }
    HWND widget() const { return m_widget; }

    void controlChanged(ControlChange what) override
    {
        // Our own writes raise notifications too; the model already holds the
        // change, so none of them may come back as the user's input.
        m_applying = true;
        switch (m_design.kind) {
        case layout::Kind::ComboBox:
            applyCombo(what);
            break;
        case layout::Kind::TextBox:
            if (what == ControlChange::Text)
                SetWindowTextW(m_widget, toWide(static_cast<TextBox*>(m_model)->Text()).c_str());
            break;
        case layout::Kind::CheckBox:
            if (what == ControlChange::Value)
                SendMessageW(m_widget, BM_SETCHECK, static_cast<CheckBox*>(m_model)->Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
            [[fallthrough]];
        default:
            if (what == ControlChange::Caption)
                SetWindowTextW(m_widget, toWide(static_cast<CaptionedControl*>(m_model)->Caption()).c_str());
            break;
        }
        m_applying = false;
    }

    // WM_COMMAND from the widget.
    void command(WORD code)
    {
        if (m_applying || !m_model)
            return;
        switch (m_design.kind) {
        case layout::Kind::ComboBox: {
            auto* combo = static_cast<ComboBox*>(m_model);
            if (code == CBN_SELCHANGE) {
                const auto index = static_cast<int>(SendMessageW(m_widget, CB_GETCURSEL, 0, 0));
                if (index >= 0 && index < combo->ListCount())
                    combo->userChoseItem(index);
            } else if (code == CBN_EDITCHANGE) {
                combo->userTypedText(toUtf8(windowText(m_widget)));
            }
            break;
        }
        case layout::Kind::TextBox:
            if (code == EN_CHANGE)
                static_cast<TextBox*>(m_model)->userTypedText(toUtf8(windowText(m_widget)));
            break;
        case layout::Kind::CheckBox:
            if (code == BN_CLICKED) {
                const bool ticked = SendMessageW(m_widget, BM_GETCHECK, 0, 0) == BST_CHECKED;
                static_cast<CheckBox*>(m_model)->userSetValue(ticked ? CheckBox::kChecked : CheckBox::kUnchecked);
            }
            break;
        case layout::Kind::CommandButton:
            if (code == BN_CLICKED)
                static_cast<CommandButton*>(m_model)->userPressed();
            break;
        default:
            break;
        }
    }

private:
    void applyCombo(ControlChange what)
    {
        auto* combo = static_cast<ComboBox*>(m_model);
        if (what == ControlChange::Items) {
            // Items are only ever appended: add what the widget lacks.
            auto count = static_cast<int>(SendMessageW(m_widget, CB_GETCOUNT, 0, 0));
            for (; count < combo->ListCount(); ++count)
                SendMessageW(m_widget, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(combo->List(count)).c_str()));
        } else if (what == ControlChange::Selection) {
            SendMessageW(m_widget, CB_SETCURSEL, static_cast<WPARAM>(combo->ListIndex()), 0);
            if (combo->ListIndex() < 0)
                SetWindowTextW(m_widget, toWide(combo->Text()).c_str());
        } else if (what == ControlChange::Text) {
            SetWindowTextW(m_widget, toWide(combo->Text()).c_str());
        }
    }

    const layout::ControlSpec& m_design;
    Control* m_model;
    HWND m_widget;
    bool m_applying = false;
};

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
    RegisterClassExW(&windowClass); // fails harmlessly when already registered

    m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    bringForwardMessage();

    m_dpi = systemDpi();
    const SIZE outer = outerSizeForClient();
    m_window = CreateWindowExW(kWindowExStyle, kWindowClass, toWide(m_form.Caption()).c_str(), kWindowStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy, nullptr, nullptr, instance, this);
    if (!m_window)
        return false;
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

    // The window may sit on a monitor whose DPI differs from the system's.
    m_dpi = windowDpi(m_window);
    fitToClientArea(nullptr);

    createControls(instance);
    updateFont();
    layOut();
    // Form_Load fills the nine lists with 480 items before the window shows;
    // lists that do not redraw take them some twenty times faster.
    setListsRedraw(false);
    return true;
}

void Form1Window::setListsRedraw(bool redraw)
{
    for (const auto& control : m_controls) {
        if (control->design().kind != layout::Kind::ComboBox)
            continue;
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(control->widget(), &info) && info.hwndList)
            SendMessageW(info.hwndList, WM_SETREDRAW, redraw, 0);
    }
}

SIZE Form1Window::outerSizeForClient() const
{
    RECT frame{0, 0, px(layout::kClientWidthTwips, m_dpi), px(layout::kClientHeightTwips, m_dpi)};
    const DpiApi& api = DpiApi::get();
    if (api.adjustWindowRectExForDpi)
        api.adjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, static_cast<UINT>(m_dpi));
    else
        AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void Form1Window::fitToClientArea(const POINT* at)
{
    const int width = px(layout::kClientWidthTwips, m_dpi);
    const int height = px(layout::kClientHeightTwips, m_dpi);
    const SIZE outer = outerSizeForClient();
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
    for (const layout::ControlSpec& design : layout::kControls) {
        ++id;
        if (design.kind == layout::Kind::OleContainer)
            continue; // the clip plays without a box on the window
        const wchar_t* className = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (design.kind) {
        case layout::Kind::Label:
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case layout::Kind::ComboBox:
            className = L"COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
            break;
        case layout::Kind::TextBox:
            className = L"EDIT";
            style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case layout::Kind::CheckBox:
            className = L"BUTTON";
            style |= WS_TABSTOP | BS_AUTOCHECKBOX;
            break;
        case layout::Kind::CommandButton:
            className = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case layout::Kind::OleContainer:
            break;
        }
        const std::wstring text = design.kind == layout::Kind::ComboBox ? std::wstring() : toWide(design.caption);
        const RECT at = pixelRect(design);
        const int height = design.kind == layout::Kind::ComboBox ? (at.bottom - at.top) * (kDroppedListItems + 1)
                                                               : at.bottom - at.top;
        HWND widget = CreateWindowExW(exStyle, className, text.c_str(), style, at.left, at.top, at.right - at.left,
                                      height, m_window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (design.kind == layout::Kind::CheckBox)
            SendMessageW(widget, BM_SETCHECK, design.initialValue == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        m_controls.push_back(std::make_unique<NativeControl>(design, m_form.findControl(design.name), widget));
    }
    // A label reaches a little under the control to its right, which is drawn
    // over it: labels go to the bottom. They take no focus, so the tab order
    // of the others is unchanged.
    for (const auto& control : m_controls)
        if (control->design().kind == layout::Kind::Label)
            SetWindowPos(control->widget(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form1Window::updateFont()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const DpiApi& api = DpiApi::get();
    if (api.systemParametersInfoForDpi) {
        api.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(m_dpi));
    } else {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, m_dpi, systemDpi());
    }
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    for (const auto& control : m_controls)
        SendMessageW(control->widget(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (m_font)
        DeleteObject(m_font);
    m_font = font;
}

RECT Form1Window::pixelRect(const layout::ControlSpec& design) const
{
    return RECT{px(design.left, m_dpi), px(design.top, m_dpi), px(design.left + design.width, m_dpi),
                px(design.top + design.height, m_dpi)};
}

void Form1Window::layOut()
{
    // Moving a window costs a trip to the window server under Wine: move only
    // what is not yet in place.
    int fittedField = -1;
    for (const auto& control : m_controls) {
        const layout::ControlSpec& design = control->design();
        const RECT wanted = pixelRect(design);
        const int height = wanted.bottom - wanted.top;
        HWND widget = control->widget();
        RECT now;
        GetWindowRect(widget, &now);
        MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&now), 2);
        if (design.kind != layout::Kind::ComboBox) {
            if (!EqualRect(&now, &wanted))
                SetWindowPos(widget, nullptr, wanted.left, wanted.top, wanted.right - wanted.left, height,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        // A drop-down combo box's own height is its edit field's; the window
        // height given to it is that of the open list.
        if (now.left != wanted.left || now.top != wanted.top || now.right != wanted.right) {
            const auto item = static_cast<int>(SendMessageW(widget, CB_GETITEMHEIGHT, 0, 0));
            SetWindowPos(widget, nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                         height + kDroppedListItems * item + 2, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        fitComboHeight(widget, height, fittedField);
    }
}

void Form1Window::fitComboHeight(HWND combo, int height, int& fittedField)
{
    auto closedHeight = [combo] {
        RECT closed;
        GetWindowRect(combo, &closed);
        return static_cast<int>(closed.bottom - closed.top);
    };
    int current = closedHeight();
    if (current == height)
        return;
    // What the field height means differs between systems (Wine adds two
    // pixels to what it was given): correct by what the box turned out, and
    // give the other boxes, which share the font, what worked for the first.
    int field = fittedField > 0 ? fittedField
                                : static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) +
                                      height - current;
    for (int attempt = 0; attempt < 3 && field >= 1; ++attempt) {
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        current = closedHeight();
        if (current == height) {
            fittedField = field;
            return;
        }
        field += height - current;
    }
}

HWND Form1Window::controlHandle(std::string_view name) const
{
    for (const auto& control : m_controls)
        if (control->design().name == name)
            return control->widget();
    return nullptr;
}

std::uint32_t Form1Window::windowHandle() const
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(m_window));
}

std::uint32_t Form1Window::iconHandle() const
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(m_icon));
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
            m_lastFocus = controlHandle("Combo2");
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
            const int index = LOWORD(wParam) - kFirstControlId - 1;
            if (index < 0 || index >= static_cast<int>(layout::kControls.size()))
                return 0;
            for (const auto& control : m_controls)
                if (&control->design() == &layout::kControls[static_cast<std::size_t>(index)]) {
                    control->command(HIWORD(wParam));
                    break;
                }
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
        return TRUE;
    case WM_ENDSESSION:
        // The session ends: one more close of the window, which saves and
        // removes the tray icon before the system ends the process.
        if (wParam)
            m_form.systemRequestedClose();
        return 0;
    case WM_TIMECHANGE:
        m_form.tickDriver().rearm();
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            m_form.tickDriver().rearm();
        return TRUE;
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        const POINT at{suggested->left, suggested->top};
        fitToClientArea(&at);
        updateFont();
        layOut();
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    }
    default:
        if (message == m_taskbarCreated && m_taskbarCreated != 0) {
            tray::TrayReAdd();
            return 0;
        }
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
        // Tab and the arrow keys move between the controls as in a dialog.
        if (m_window && IsDialogMessageW(m_window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace tindora::win32
