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

QRect geometryOf(const layout::ControlSpec& entry)
{
    return {px(entry.left), px(entry.top), px(entry.width), px(entry.height)};
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

Form1Window::~Form1Window()
{
    m_form.setView(nullptr);
    for (const auto& entry : layout::kControls)
        if (Control* control = m_form.findControl(entry.name))
            control->setView(nullptr);
}

void Form1Window::buildControls()
{
    // Labels first: a label's box reaches under the control to its right, and
    // widgets created later are drawn on top.
    for (const auto& entry : layout::kControls) {
        if (entry.kind != layout::Kind::Label)
            continue;
        auto* widget = new QLabel(this);
        widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget->setGeometry(geometryOf(entry));
        m_views.push_back(std::make_unique<LabelView>(*static_cast<Label*>(m_form.findControl(entry.name)), *widget));
        m_widgets.emplace_back(entry.name, widget);
    }

    QWidget* previous = nullptr;
    for (const auto& entry : layout::kControls) {
        Control* control = m_form.findControl(entry.name);
        QWidget* widget = nullptr;
        switch (entry.kind) {
        case layout::Kind::Label:
            continue;
        case layout::Kind::OleContainer:
            // The clip plays without a player of its own; the container's box
            // would show nothing the user can use.
            continue;
        case layout::Kind::ComboBox: {
            auto* combo = new QComboBox(this);
            m_views.push_back(std::make_unique<ComboView>(*static_cast<ComboBox*>(control), *combo));
            widget = combo;
            break;
        }
        case layout::Kind::TextBox: {
            auto* edit = new QLineEdit(this);
            m_views.push_back(std::make_unique<TextView>(*static_cast<TextBox*>(control), *edit));
            widget = edit;
            break;
        }
        case layout::Kind::CheckBox: {
            auto* check = new QCheckBox(this);
            m_views.push_back(std::make_unique<CheckView>(*static_cast<CheckBox*>(control), *check));
            widget = check;
            break;
        }
        case layout::Kind::CommandButton: {
            auto* button = new QPushButton(this);
            button->setAutoDefault(false);
            m_views.push_back(std::make_unique<ButtonView>(*static_cast<CommandButton*>(control), *button));
            widget = button;
            break;
        }
        }
        widget->setGeometry(geometryOf(entry));
        m_widgets.emplace_back(entry.name, widget);
        // The table is in tab order.
        if (previous)
            QWidget::setTabOrder(previous, widget);
        else
            widget->setFocus();
        previous = widget;
    }
}

QWidget* Form1Window::widgetOf(std::string_view name) const
{
    for (const auto& [widgetName, widget] : m_widgets)
        if (widgetName == name)
            return widget;
    return nullptr;
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
