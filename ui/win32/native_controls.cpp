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

// Labels, and whatever else only shows a caption the program sets.
class NativeCaption : public NativeControl {
public:
    NativeCaption(const layout::ControlSpec& design, CaptionedControl& model, HWND widget)
        : NativeControl(design, &model, widget), m_model(model)
    {
    }

protected:
    void apply(ControlChange what) override
    {
        if (what == ControlChange::Caption)
            setText(widget(), m_model.Caption());
    }
    void userCommand(WORD) override {}

private:
    CaptionedControl& m_model;
};

class NativeComboBox : public NativeControl {
public:
    NativeComboBox(const layout::ControlSpec& design, ComboBox& model, HWND widget)
        : NativeControl(design, &model, widget), m_model(model)
    {
    }

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

private:
    ComboBox& m_model;
};

class NativeTextBox : public NativeControl {
public:
    NativeTextBox(const layout::ControlSpec& design, TextBox& model, HWND widget)
        : NativeControl(design, &model, widget), m_model(model)
    {
    }

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

private:
    TextBox& m_model;
};

class NativeCheckBox : public NativeControl {
public:
    NativeCheckBox(const layout::ControlSpec& design, CheckBox& model, HWND widget)
        : NativeControl(design, &model, widget), m_model(model)
    {
        SendMessageW(widget, BM_SETCHECK, model.Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    }

protected:
    void apply(ControlChange what) override
    {
        if (what == ControlChange::Value)
            SendMessageW(widget(), BM_SETCHECK, m_model.Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
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
    CheckBox& m_model;
};

class NativeButton : public NativeControl {
public:
    NativeButton(const layout::ControlSpec& design, CommandButton& model, HWND widget)
        : NativeControl(design, &model, widget), m_model(model)
    {
    }

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

private:
    CommandButton& m_model;
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
