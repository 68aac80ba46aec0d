#pragma once
// One native view per control kind: each mirrors its model into the widget
// and feeds the user's input (WM_COMMAND notifications) back into the model.
// Typing into a field only tells the model what is typed (CBN_EDITCHANGE,
// EN_CHANGE); it takes effect when the user commits it: Enter, or the focus
// leaving the field (CBN_KILLFOCUS, EN_KILLFOCUS), whether by Tab, a click
// elsewhere or another window coming to the front.
// The program's own writes raise notifications too; the model already holds
// the change, so none of those may come back as the user's input.

#include "controls.h"
#include "widget_kind.h"

#include <memory>

#include <windows.h>

namespace tindora::win32 {

// Attaches itself to its model for its lifetime.
class NativeControl : public ControlView {
public:
    NativeControl(Control& model, const WidgetKind& kind, HWND widget);
    ~NativeControl() override;
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    const ControlDesign& design() const { return m_model.design(); }
    const WidgetKind& kind() const { return m_kind; }
    HWND widget() const { return m_widget; }

    void controlChanged(ControlChange what) final;
    // A WM_COMMAND notification from the widget.
    void command(WORD code);
    // Enter in the widget: what the user typed takes effect, as when the
    // focus leaves it. Nothing for a widget nobody types into.
    virtual void enterPressed() {}

protected:
    virtual void apply(ControlChange what) = 0;
    virtual void userCommand(WORD code) = 0;

private:
    Control& m_model;
    WidgetKind m_kind;
    HWND m_widget;
    bool m_applying = false;
};

// The view of a control over its widget.
std::unique_ptr<NativeControl> makeNativeControl(Label& model, HWND widget);
std::unique_ptr<NativeControl> makeNativeControl(ComboBox& model, HWND widget);
std::unique_ptr<NativeControl> makeNativeControl(TextBox& model, HWND widget);
std::unique_ptr<NativeControl> makeNativeControl(CheckBox& model, HWND widget);
std::unique_ptr<NativeControl> makeNativeControl(CommandButton& model, HWND widget);

} // namespace tindora::win32
