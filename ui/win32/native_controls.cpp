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

void setText(HWND widget, const std::string& utf8) { SetWindowTextW(widget, toWide(utf8).c_str()); }

// The view of one kind of model.
template <typename Model> class NativeView : public NativeControl {
public:
    NativeView(const layout::ControlSpec& design, Model& model, HWND widget)
        : NativeControl(design, &model, widget), m_model(model)
    {
    }

protected:
    Model& m_model;
};

// Labels, and whatever else only shows a caption the program sets.
class NativeCaption : public NativeView<CaptionedControl> {
public:
    using NativeView::NativeView;

protected:
    void apply(ControlChange what) override
    {
        if (what == ControlChange::Caption)
            setText(widget(), m_model.Caption());
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
        }
    }
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
    }
};

class NativeCheckBox : public NativeView<CheckBox> {
public:
    NativeCheckBox(const layout::ControlSpec& design, CheckBox& model, HWND widget) : NativeView(design, model, widget)
    {
        showValue();
    }

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

// A widget without a model of its own: shown, never fed back.
class NativeInert : public NativeControl {
public:
    using NativeControl::NativeControl;

protected:
    void apply(ControlChange) override {}
    void userCommand(WORD) override {}
};

} // namespace

NativeControl::NativeControl(const layout::ControlSpec& design, Control* model, HWND widget)
    : m_design(design), m_model(model), m_widget(widget)
{
    if (m_model)
        m_model->setView(this);
}

NativeControl::~NativeControl()
{
    if (m_model)
        m_model->setView(nullptr);
}

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

std::unique_ptr<NativeControl> makeNativeControl(const layout::ControlSpec& design, Control* model, HWND widget)
{
    // The design's kind says what the model is (Form1 names every control).
    switch (model ? design.kind : layout::Kind::OleContainer) {
    case layout::Kind::Label:
        return std::make_unique<NativeCaption>(design, *static_cast<Label*>(model), widget);
    case layout::Kind::ComboBox:
        return std::make_unique<NativeComboBox>(design, *static_cast<ComboBox*>(model), widget);
    case layout::Kind::TextBox:
        return std::make_unique<NativeTextBox>(design, *static_cast<TextBox*>(model), widget);
    case layout::Kind::CheckBox:
        return std::make_unique<NativeCheckBox>(design, *static_cast<CheckBox*>(model), widget);
    case layout::Kind::CommandButton:
        return std::make_unique<NativeButton>(design, *static_cast<CommandButton*>(model), widget);
    case layout::Kind::OleContainer:
        break;
    }
    return std::make_unique<NativeInert>(design, model, widget);
}

} // namespace tindora::win32
