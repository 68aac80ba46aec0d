#include "native_controls.h"

#include "wide_text.h"

#include <algorithm>

namespace tindora::win32 {
namespace {

std::wstring windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

// Whether the focus that left a field went to another control of the same
// window (Tab, a click), which commits what was typed; not when the window
// itself lost the focus (a reminder's box came up, the user went to another
// program): the field then keeps what is being typed until the user is back.
bool focusStaysInTheWindowOf(HWND widget) { return GetActiveWindow() == GetAncestor(widget, GA_ROOT); }

void setText(HWND widget, const std::string& utf8) { SetWindowTextW(widget, toWide(utf8).c_str()); }

// The view of one kind of model.
template <typename Model> class NativeView : public NativeControl {
public:
    NativeView(Model& model, HWND widget) : NativeControl(model, widgetKindOf(model), widget), m_model(model) {}

protected:
    Model& m_model;
};

// Labels: a caption the program sets, and nothing the user can do.
template <typename Model> class NativeCaption : public NativeView<Model> {
public:
    using NativeView<Model>::NativeView;

protected:
    void apply(ControlChange what) override
    {
        if (what == ControlChange::Caption)
            setText(this->widget(), this->m_model.Caption());
    }
    void userCommand(WORD) override {}
};

class NativeComboBox : public NativeView<ComboBox> {
public:
    using NativeView::NativeView;

protected:
    void apply(ControlChange what) override
    {
        if (what == ControlChange::Items) {
            // Items are only ever appended: add what the widget lacks.
            auto count = static_cast<int>(SendMessageW(widget(), CB_GETCOUNT, 0, 0));
            for (; count < m_model.ListCount(); ++count)
                SendMessageW(widget(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(m_model.List(count)).c_str()));
        } else if (what == ControlChange::Selection) {
            SendMessageW(widget(), CB_SETCURSEL, static_cast<WPARAM>(m_model.ListIndex()), 0);
            if (m_model.ListIndex() < 0)
                setText(widget(), m_model.Text());
        } else if (what == ControlChange::Text) {
            setText(widget(), m_model.Text());
        }
    }
    void userCommand(WORD code) override
    {
        if (code == CBN_SELCHANGE) {
            const auto index = static_cast<int>(SendMessageW(widget(), CB_GETCURSEL, 0, 0));
            if (index >= 0 && index < m_model.ListCount())
                m_model.userChoseItem(index);
        } else if (code == CBN_EDITCHANGE) {
            m_model.userTypedText(toUtf8(windowText(widget())));
        } else if (code == CBN_KILLFOCUS) {
            // The combo box sends it when the focus leaves both it and its
            // edit field, not when it moves between the two or to its list.
            if (focusStaysInTheWindowOf(widget()))
                m_model.userCommitted();
        }
    }

public:
    void enterPressed() override { m_model.userCommitted(); }
};

class NativeTextBox : public NativeView<TextBox> {
public:
    using NativeView::NativeView;

protected:
    void apply(ControlChange what) override
    {
        if (what == ControlChange::Text)
            setText(widget(), m_model.Text());
    }
    void userCommand(WORD code) override
    {
        if (code == EN_CHANGE)
            m_model.userTypedText(toUtf8(windowText(widget())));
        else if (code == EN_KILLFOCUS && focusStaysInTheWindowOf(widget()))
            m_model.userCommitted();
    }

public:
    void enterPressed() override { m_model.userCommitted(); }
};

class NativeCheckBox : public NativeView<CheckBox> {
public:
    NativeCheckBox(CheckBox& model, HWND widget) : NativeView(model, widget) { showValue(); }

protected:
    void apply(ControlChange what) override
    {
        if (what == ControlChange::Value)
            showValue();
        else if (what == ControlChange::Caption)
            setText(widget(), m_model.Caption());
    }
    void userCommand(WORD code) override
    {
        if (code != BN_CLICKED)
            return;
        const bool ticked = SendMessageW(widget(), BM_GETCHECK, 0, 0) == BST_CHECKED;
        m_model.userSetValue(ticked ? CheckBox::kChecked : CheckBox::kUnchecked);
    }

private:
    void showValue() { SendMessageW(widget(), BM_SETCHECK, m_model.isOn() ? BST_CHECKED : BST_UNCHECKED, 0); }
};

class NativeButton : public NativeView<CommandButton> {
public:
    using NativeView::NativeView;

protected:
    void apply(ControlChange what) override
    {
        if (what == ControlChange::Caption)
            setText(widget(), m_model.Caption());
    }
    void userCommand(WORD code) override
    {
        if (code == BN_CLICKED)
            m_model.userPressed();
    }
};

} // namespace

NativeControl::NativeControl(Control& model, const WidgetKind& kind, HWND widget)
    : m_model(model), m_kind(kind), m_widget(widget)
{
    m_model.setView(this);
}

NativeControl::~NativeControl() { m_model.setView(nullptr); }

void NativeControl::controlChanged(ControlChange what)
{
    m_applying = true;
    apply(what);
    m_applying = false;
}

void NativeControl::command(WORD code)
{
    if (!m_applying)
        userCommand(code);
}

std::unique_ptr<NativeControl> makeNativeControl(Label& model, HWND widget)
{
    return std::make_unique<NativeCaption<Label>>(model, widget);
}
std::unique_ptr<NativeControl> makeNativeControl(ComboBox& model, HWND widget)
{
    return std::make_unique<NativeComboBox>(model, widget);
}
std::unique_ptr<NativeControl> makeNativeControl(TextBox& model, HWND widget)
{
    return std::make_unique<NativeTextBox>(model, widget);
}
std::unique_ptr<NativeControl> makeNativeControl(CheckBox& model, HWND widget)
{
    return std::make_unique<NativeCheckBox>(model, widget);
}
std::unique_ptr<NativeControl> makeNativeControl(CommandButton& model, HWND widget)
{
    return std::make_unique<NativeButton>(model, widget);
}

} // namespace tindora::win32
