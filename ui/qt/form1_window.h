#pragma once
// Form1's native window: the widgets built from the window's twips table, one
// view per control, and the window's own state mirrored both ways.

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

    // The widget of a control, by its design name (for tests).
    QWidget* widgetOf(std::string_view name) const;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();

    Form1& m_form;
    std::vector<std::pair<std::string_view, QWidget*>> m_widgets;
    std::vector<std::unique_ptr<ControlView>> m_views;
};

} // namespace tindora::qt
