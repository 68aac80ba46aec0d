#pragma once
// Form1's native window: a widget and a view for each of Form1's controls, at
// its designed place, and the window's own state mirrored both ways.

#include "control_views.h"
#include "form1.h"
#include "window.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace tindora::qt {

class Form1Window : public QWidget, public WindowView {
public:
    explicit Form1Window(Form1& form);
    ~Form1Window() override;

    void windowChanged(WindowChange what) override;
    int popupMenu(const Menu& menu) override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // The widget of one control, named after it, at its place, with its view.
    template <typename Model> QWidget* addWidget(Model& model);

    Form1& m_form;
    std::vector<std::unique_ptr<ControlView>> m_views;
};

} // namespace tindora::qt
