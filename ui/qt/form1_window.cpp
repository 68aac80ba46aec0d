#include "form1_window.h"

#include "app_icon.h"
#include "form1_layout.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMenu>

namespace tindora::qt {
namespace {

// Qt lays out in device-independent pixels and scales them on high-DPI
// screens itself: the table's twips map at 96 dots per inch.
int px(int twips) { return layout::twipsToPixels(twips, 96); }

QRect geometryOf(const ControlDesign& design)
{
    return {px(design.left), px(design.top), px(design.width), px(design.height)};
}

} // namespace

Form1Window::Form1Window(Form1& form) : m_form(form)
{
    setWindowTitle(QString::fromUtf8(layout::kWindowTitle.data(), qsizetype(layout::kWindowTitle.size())));
    setWindowIcon(appIcon());
    // A fixed single border: title bar with minimize and close, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(px(layout::kClientWidthTwips), px(layout::kClientHeightTwips));
    buildControls();
    m_form.setView(this);
}

Form1Window::~Form1Window() { m_form.setView(nullptr); }

template <typename Model> QWidget* Form1Window::addWidget(Model& model)
{
    auto* widget = new typename WidgetFor<Model>::type(this);
    widget->setObjectName(QString::fromUtf8(model.name().data(), qsizetype(model.name().size())));
    widget->setGeometry(geometryOf(model.design()));
    m_views.push_back(std::make_unique<WidgetView<Model>>(model, *widget));
    return widget;
}

void Form1Window::buildControls()
{
    // Labels first: a label's box reaches under the control to its right, and
    // widgets created later are drawn on top.
    m_form.controls().forEach([this](auto& control) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(control)>, Label>)
            addWidget(control);
    });

    QWidget* previous = nullptr;
    m_form.controls().forEach([this, &previous](auto& control) {
        using Model = std::remove_cvref_t<decltype(control)>;
        // The clip plays without a player of its own: OLE1's box would show
        // nothing the user can use.
        if constexpr (!std::is_same_v<Model, Label> && !std::is_same_v<Model, OleContainer>) {
            QWidget* widget = addWidget(control);
            // The list is in tab order.
            if (previous)
                QWidget::setTabOrder(previous, widget);
            else
                widget->setFocus();
            previous = widget;
        }
    });
}

void Form1Window::windowChanged(WindowChange what)
{
    switch (what) {
    case WindowChange::Visible:
        if (m_form.Visible()) {
            if (m_form.WindowState() == FormWindow::kMinimized)
                showMinimized();
            else
                showNormal();
            raise();
            activateWindow();
        } else {
            hide();
        }
        break;
    case WindowChange::WindowState:
        if (m_form.WindowState() == FormWindow::kMinimized) {
            if (isVisible())
                showMinimized();
            else
                setWindowState(windowState() | Qt::WindowMinimized);
        } else {
            // A hidden window keeps its normal state and stays hidden.
            if (isVisible())
                showNormal();
            else
                setWindowState(windowState() & ~Qt::WindowMinimized);
        }
        break;
    case WindowChange::Unloaded:
        hide();
        break;
    }
}

int Form1Window::popupMenu(const Menu& menu)
{
    QMenu popup;
    const auto& items = menu.items();
    for (const MenuItem* item : items)
        popup.addAction(QString::fromStdString(item->Caption()));
    QAction* chosen = popup.exec(QCursor::pos());
    return chosen ? static_cast<int>(popup.actions().indexOf(chosen)) : -1;
}

void Form1Window::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const int state = (windowState() & Qt::WindowMinimized) ? FormWindow::kMinimized : FormWindow::kNormal;
    m_form.systemChangedWindowState(state);
}

void Form1Window::closeEvent(QCloseEvent* event)
{
    m_form.systemRequestedClose();
    if (!m_form.isUnloaded())
        event->ignore();
}

} // namespace tindora::qt
