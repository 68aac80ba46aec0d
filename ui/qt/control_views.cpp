#include "control_views.h"

#include <QFocusEvent>
#include <QSignalBlocker>

#include <functional>

namespace tindora::qt {
namespace {

QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// Enter, or the focus moving to another control of the window: what was
// typed takes effect. Enter commits at once. The focus moving on commits once
// it has moved: a box the commit opens (a refused picker text, a failed save)
// would otherwise break into Qt's focus change half-way. When the window
// itself loses the keyboard (a reminder's box comes up, the user goes to
// another program) or a list pops up, nothing half typed takes effect: the
// field keeps it until the user is back. (editingFinished cannot tell these
// apart, and after one it stays silent until the text changes again.)
class CommitOnLeaving : public QObject {
public:
    // `field` is the widget that holds the focus: a combo box for its line edit.
    CommitOnLeaving(QWidget& field, std::function<void()> commit) : QObject(&field), m_commit(std::move(commit))
    {
        field.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::FocusOut)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QMetaObject::invokeMethod(this, m_commit, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void()> m_commit;
};

template <typename Model> void commitOnEnterOrLeaving(QLineEdit& edit, QWidget& field, Model& model)
{
    QObject::connect(&edit, &QLineEdit::returnPressed, &field, [&model] { model.userCommitted(); });
    new CommitOnLeaving(field, [&model] { model.userCommitted(); });
}

} // namespace

void setUp(Label&, QLabel& widget) { widget.setAlignment(Qt::AlignLeft | Qt::AlignTop); }

void mirror(const Label& model, QLabel& widget, ControlChange what)
{
    if (what == ControlChange::Caption)
        widget.setText(qs(model.Caption()));
}

void setUp(ComboBox& model, QComboBox& widget)
{
    widget.setEditable(true);
    // A Windows combo box neither completes what is typed nor adds it to its
    // list on Enter; the list holds exactly what AddItem put there.
    widget.setCompleter(nullptr);
    widget.setInsertPolicy(QComboBox::NoInsert);
    // activated: only the user's pick, also of the item already shown.
    QObject::connect(&widget, &QComboBox::activated, &widget, [&model](int index) {
        if (index >= 0 && index < model.ListCount())
            model.userChoseItem(index);
    });
    // textEdited: only the user's typing, never a program write or a pick.
    QObject::connect(widget.lineEdit(), &QLineEdit::textEdited, &widget,
                     [&model](const QString& text) { model.userTypedText(text.toStdString()); });
    // QComboBox itself selects an item typed exactly as listed whenever its
    // line edit finishes editing, also when the window loses the keyboard:
    // a 1 typed on the way to 15 would take effect as a box comes up. The
    // commit selects it instead, and only when the user commits.
    QObject::disconnect(widget.lineEdit(), &QLineEdit::editingFinished, &widget, nullptr);
    commitOnEnterOrLeaving(*widget.lineEdit(), widget, model);
}

void mirror(const ComboBox& model, QComboBox& widget, ControlChange what)
{
    const QSignalBlocker blocker(widget);
    switch (what) {
    case ControlChange::Items:
        // AddItem only ever appends.
        for (int i = widget.count(); i < model.ListCount(); ++i)
            widget.addItem(qs(model.List(i)));
        break;
    case ControlChange::Selection:
    case ControlChange::Text:
        break;
    default:
        return;
    }
    // Also after an append: QComboBox selects the first item added to an
    // empty list, where the model selects nothing.
    widget.setCurrentIndex(model.ListIndex());
    widget.setEditText(qs(model.Text()));
}

void setUp(TextBox& model, QLineEdit& widget)
{
    QObject::connect(&widget, &QLineEdit::textEdited, &widget,
                     [&model](const QString& text) { model.userTypedText(text.toStdString()); });
    commitOnEnterOrLeaving(widget, widget, model);
}

void mirror(const TextBox& model, QLineEdit& widget, ControlChange what)
{
    if (what == ControlChange::Text)
        widget.setText(qs(model.Text()));
}

void setUp(CheckBox& model, QCheckBox& widget)
{
    QObject::connect(&widget, &QCheckBox::clicked, &widget, [&model](bool checked) {
        model.userSetValue(checked ? CheckBox::kChecked : CheckBox::kUnchecked);
    });
}

void mirror(const CheckBox& model, QCheckBox& widget, ControlChange what)
{
    const QSignalBlocker blocker(widget);
    if (what == ControlChange::Caption)
        widget.setText(qs(model.Caption()));
    else if (what == ControlChange::Value)
        widget.setChecked(model.isOn());
}

void setUp(CommandButton& model, QPushButton& widget)
{
    widget.setAutoDefault(false);
    QObject::connect(&widget, &QPushButton::clicked, &widget, [&model] { model.userPressed(); });
}

void mirror(const CommandButton& model, QPushButton& widget, ControlChange what)
{
    if (what == ControlChange::Caption)
        widget.setText(qs(model.Caption()));
}

} // namespace tindora::qt
