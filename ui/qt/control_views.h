#pragma once
// One view per control: mirrors the model into its Qt widget, and feeds what
// the user does back through the model's user* calls. A mirror never echoes:
// the widget's signals that only the user causes (activated, textEdited,
// clicked) are the only ones listened to.

#include "controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tindora::qt {

// The widget each kind of control is shown with.
template <typename Model> struct WidgetFor;
template <> struct WidgetFor<Label> {
    using type = QLabel;
};
template <> struct WidgetFor<ComboBox> {
    using type = QComboBox;
};
template <> struct WidgetFor<TextBox> {
    using type = QLineEdit;
};
template <> struct WidgetFor<CheckBox> {
    using type = QCheckBox;
};
template <> struct WidgetFor<CommandButton> {
    using type = QPushButton;
};

// Each kind's two halves: how the widget is set up and listened to, and how a
// change of the model reaches it.
void setUp(Label& model, QLabel& widget);
void mirror(const Label& model, QLabel& widget, ControlChange what);
void setUp(ComboBox& model, QComboBox& widget);
void mirror(const ComboBox& model, QComboBox& widget, ControlChange what);
void setUp(TextBox& model, QLineEdit& widget);
void mirror(const TextBox& model, QLineEdit& widget, ControlChange what);
void setUp(CheckBox& model, QCheckBox& widget);
void mirror(const CheckBox& model, QCheckBox& widget, ControlChange what);
void setUp(CommandButton& model, QPushButton& widget);
void mirror(const CommandButton& model, QPushButton& widget, ControlChange what);

// Attaches itself to its model for its lifetime; the widget must outlive it.
template <typename Model> class WidgetView final : public ControlView {
public:
    using Widget = typename WidgetFor<Model>::type;

    WidgetView(Model& model, Widget& widget) : m_model(model), m_widget(widget)
    {
        setUp(m_model, m_widget);
        for (const ControlChange what : {ControlChange::Caption, ControlChange::Items, ControlChange::Selection,
                                         ControlChange::Text, ControlChange::Value})
            mirror(m_model, m_widget, what);
        m_model.setView(this);
    }
    ~WidgetView() override { m_model.setView(nullptr); }
    WidgetView(const WidgetView&) = delete;
    WidgetView& operator=(const WidgetView&) = delete;

    void controlChanged(ControlChange what) override { mirror(m_model, m_widget, what); }

private:
    Model& m_model;
    Widget& m_widget;
};

} // namespace tindora::qt
