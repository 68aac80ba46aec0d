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

class LabelView : public ControlView {
public:
    LabelView(Label& model, QLabel& widget);
    void controlChanged(ControlChange what) override;

private:
    Label& m_model;
    QLabel& m_widget;
};

class ComboView : public ControlView {
public:
    ComboView(ComboBox& model, QComboBox& widget);
    void controlChanged(ControlChange what) override;

private:
    ComboBox& m_model;
    QComboBox& m_widget;
};

class TextView : public ControlView {
public:
    TextView(TextBox& model, QLineEdit& widget);
    void controlChanged(ControlChange what) override;

private:
    TextBox& m_model;
    QLineEdit& m_widget;
};

class CheckView : public ControlView {
public:
    CheckView(CheckBox& model, QCheckBox& widget);
    void controlChanged(ControlChange what) override;

private:
    CheckBox& m_model;
    QCheckBox& m_widget;
};

class ButtonView : public ControlView {
public:
    ButtonView(CommandButton& model, QPushButton& widget);
    void controlChanged(ControlChange what) override;

private:
    CommandButton& m_model;
    QPushButton& m_widget;
};

} // namespace tindora::qt
