#include "control_views.h"

#include <QSignalBlocker>

namespace tindora::qt {
namespace {

QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

LabelView::LabelView(Label& model, QLabel& widget) : m_model(model), m_widget(widget)
{
    m_widget.setText(qs(m_model.Caption()));
    m_model.setView(this);
}

void LabelView::controlChanged(ControlChange what)
{
    if (what == ControlChange::Caption)
        m_widget.setText(qs(m_model.Caption()));
}

ComboView::ComboView(ComboBox& model, QComboBox& widget) : m_model(model), m_widget(widget)
{
    m_widget.setEditable(true);
    // A Windows combo box neither completes what is typed nor adds it to its
    // list on Enter; the list holds exactly what AddItem put there.
    m_widget.setCompleter(nullptr);
    m_widget.setInsertPolicy(QComboBox::NoInsert);
    controlChanged(ControlChange::Items);
    controlChanged(ControlChange::Selection);
    m_model.setView(this);

    // activated: only the user's pick, also of the item already shown.
    QObject::connect(&m_widget, &QComboBox::activated, &m_widget, [this](int index) {
        if (index >= 0 && index < m_model.ListCount())
            m_model.userChoseItem(index);
    });
    // textEdited: only the user's typing, never a program write or a pick.
    QObject::connect(m_widget.lineEdit(), &QLineEdit::textEdited, &m_widget,
                     [this](const QString& text) { m_model.userTypedText(text.toStdString()); });
}

void ComboView::controlChanged(ControlChange what)
{
    const QSignalBlocker blocker(m_widget);
    switch (what) {
    case ControlChange::Items:
        // AddItem only ever appends.
        for (int i = m_widget.count(); i < m_model.ListCount(); ++i)
            m_widget.addItem(qs(m_model.List(i)));
        break;
    case ControlChange::Selection:
    case ControlChange::Text:
        break;
    default:
        return;
    }
    // Also after an append: QComboBox selects the first item added to an
    // empty list, where the model selects nothing.
    m_widget.setCurrentIndex(m_model.ListIndex());
    m_widget.setEditText(qs(m_model.Text()));
}

TextView::TextView(TextBox& model, QLineEdit& widget) : m_model(model), m_widget(widget)
{
    m_widget.setText(qs(m_model.Text()));
    m_model.setView(this);
    QObject::connect(&m_widget, &QLineEdit::textEdited, &m_widget,
                     [this](const QString& text) { m_model.userTypedText(text.toStdString()); });
}

void TextView::controlChanged(ControlChange what)
{
    if (what == ControlChange::Text)
        m_widget.setText(qs(m_model.Text()));
}

CheckView::CheckView(CheckBox& model, QCheckBox& widget) : m_model(model), m_widget(widget)
{
    controlChanged(ControlChange::Caption);
    controlChanged(ControlChange::Value);
    m_model.setView(this);
    QObject::connect(&m_widget, &QCheckBox::clicked, &m_widget, [this](bool checked) {
        m_model.userSetValue(checked ? CheckBox::kChecked : CheckBox::kUnchecked);
    });
}

void CheckView::controlChanged(ControlChange what)
{
    const QSignalBlocker blocker(m_widget);
    if (what == ControlChange::Caption)
        m_widget.setText(qs(m_model.Caption()));
    else if (what == ControlChange::Value)
        m_widget.setChecked(m_model.isOn());
}

ButtonView::ButtonView(CommandButton& model, QPushButton& widget) : m_model(model), m_widget(widget)
{
    m_widget.setText(qs(m_model.Caption()));
    m_model.setView(this);
    QObject::connect(&m_widget, &QPushButton::clicked, &m_widget, [this] { m_model.userPressed(); });
}

void ButtonView::controlChanged(ControlChange what)
{
    if (what == ControlChange::Caption)
        m_widget.setText(qs(m_model.Caption()));
}

} // namespace tindora::qt
