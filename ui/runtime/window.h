#pragma once
// The form window as a model: visibility, window state, popup menu and the
// load / resize / unload events. A backend attaches a WindowView that applies
// each change to the native window and tells the model what the user or the
// system did to it.

#include "controls.h"
#include "forms_runtime.h"

#include <cstdint>
#include <string>

namespace tindora {

enum class WindowChange { Visible, WindowState, Unloaded };

class WindowView {
public:
    virtual ~WindowView() = default;
    virtual void windowChanged(WindowChange what) = 0;
    // Pops the menu up at the mouse pointer and waits until it closes; returns
    // the index of the item chosen, or -1 when none was.
    virtual int popupMenu(const Menu& menu) = 0;
};

class FormWindow {
public:
    static constexpr int kNormal = 0;
    static constexpr int kMinimized = 1;

    FormWindow(std::string caption, FormsRuntime& runtime) : m_caption(std::move(caption)), m_runtime(runtime) {}
    virtual ~FormWindow() = default;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    void setView(WindowView* view) { m_view = view; }
    FormsRuntime& runtime() { return m_runtime; }
    // The controls on the window, in tab order.
    const ControlList& controls() const { return m_controls; }

    const std::string& Caption() const { return m_caption; }
    bool Visible() const { return m_visible; }
    void Show();
    void Hide();
    int WindowState() const { return m_windowState; }
    // Raises Form_Resize when the state changes.
    void setWindowState(int state);
    // Pops the menu up and, when the user chooses an item, runs its Click
    // before returning.
    void PopupMenu(Menu& menu);

    // Raises Form_Load; the backend calls it once, before the window is shown.
    void Load() { Form_Load(); }
    // Raises Form_Unload; unless the handler cancels, the window goes and,
    // being the program's only window, the program ends.
    void Unload();
    bool isUnloaded() const { return m_unloaded; }

    // The user or the system minimized or restored the window.
    void systemChangedWindowState(int state);
    // The user closed the window: same as Unload.
    void systemRequestedClose() { Unload(); }
    // The session is ending, or the program was told to stop: the window
    // unloads at once, and nothing may ask the user anything on the way.
    void systemEndedSession();
    bool sessionEnding() const { return m_sessionEnding; }

protected:
    // Where the form's controls register as they are made.
    ControlList m_controls;

    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload(std::int16_t& cancel) { (void)cancel; }

private:
    void notifyView(WindowChange what)
    {
        if (m_view)
            m_view->windowChanged(what);
    }

    std::string m_caption;
    FormsRuntime& m_runtime;
    WindowView* m_view = nullptr;
    bool m_visible = false;
    int m_windowState = kNormal;
    bool m_unloaded = false;
    bool m_sessionEnding = false;
};

} // namespace tindora
