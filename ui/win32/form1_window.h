#pragma once
// Form1 as a native window: the window and its controls built from the layout
// table at the window's DPI, a view per control that mirrors the model into
// the widget and feeds the user's input back, and the window's own procedure
// (the one the tray module hooks).

#include "form1.h"
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

    // Creates the window and its controls, hidden; false when the system refused.
    bool create(HINSTANCE instance);
    HWND handle() const { return m_window; }
    // The native control of a design name, or nullptr (OLE1 has none).
    HWND controlHandle(std::string_view name) const;
    int dpi() const { return m_dpi; }

    // Runs the message loop until the program quits; returns the exit code.
    int runMessageLoop();

    // The message a second copy of the program posts to bring this one forward.
    static UINT bringForwardMessage();

    void windowChanged(WindowChange what) override;
    int popupMenu(const Menu& menu) override;
    std::uint32_t windowHandle() const override;
    std::uint32_t iconHandle() const override;

private:
    class NativeControl;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    RECT pixelRect(const layout::ControlSpec& design) const;
    void layOut();
    // Gives a drop-down combo box its closed height.
    static void fitComboHeight(HWND combo, int height, int& fittedField);
    void updateFont();
    void setListsRedraw(bool redraw);
    void bringForward();
    SIZE outerSizeForClient() const;
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
    UINT m_taskbarCreated = 0;
    std::vector<std::unique_ptr<NativeControl>> m_controls;
};

} // namespace tindora::win32
