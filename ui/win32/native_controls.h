#pragma once
// One native view per control kind: each mirrors its model into the widget
// and feeds the user's input (WM_COMMAND notifications) back into the model.
// The program's own writes raise notifications too; the model already holds
// the change, so none of those may come back as the user's input.

#include "controls.h"
#include "form1_layout.h"

#include <memory>

#include <windows.h>

namespace tindora::win32 {

class NativeControl : public ControlView {
public:
    NativeControl(const layout::ControlSpec& design, Control* model, HWND widget);
    ~NativeControl() override;
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    const layout::ControlSpec& design() const { return m_design; }
    HWND widget() const { return m_widget; }

    void controlChanged(ControlChange what) final;
    // A WM_COMMAND notification from the widget.
    void command(WORD code);

protected:
    virtual void apply(ControlChange what) = 0;
    virtual void userCommand(WORD code) = 0;

private:
    const layout::ControlSpec& m_design;
    Control* m_model;
    HWND m_widget;
    bool m_applying = false;
};

// The view of a control of this design, over its widget; `model` may be null.
std::unique_ptr<NativeControl> makeNativeControl(const layout::ControlSpec& design, Control* model, HWND widget);

} // namespace tindora::win32
