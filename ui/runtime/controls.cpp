#include "controls.h"

#include <cassert>

namespace tindora {

Label::Label(ControlList& form, const ControlDesign& design) : Label(design) { form.add(this); }
ComboBox::ComboBox(ControlList& form, const ControlDesign& design) : ComboBox(design) { form.add(this); }
TextBox::TextBox(ControlList& form, const ControlDesign& design) : TextBox(design) { form.add(this); }
CheckBox::CheckBox(ControlList& form, const ControlDesign& design) : CheckBox(design) { form.add(this); }
CommandButton::CommandButton(ControlList& form, const ControlDesign& design) : CommandButton(design) { form.add(this); }
OleContainer::OleContainer(ControlList& form, const ControlDesign& design) : OleContainer(design) { form.add(this); }

void CaptionedControl::setCaption(std::string caption)
{
    m_caption = std::move(caption);
    notifyView(ControlChange::Caption);
}

void ComboBox::AddItem(std::string item)
{
    m_items.push_back(std::move(item));
    notifyView(ControlChange::Items);
}

const std::string& ComboBox::List(int index) const
{
    assert(index >= 0 && index < ListCount() && "list index outside the list");
    return m_items[static_cast<std::size_t>(index)];
}

bool ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        return false;
    m_listIndex = index;
    m_text = index < 0 ? std::string() : m_items[static_cast<std::size_t>(index)];
    m_typed.reset();
    notifyView(ControlChange::Selection);
    if (Click)
        Click();
    return true;
}

void ComboBox::cancelTyping()
{
    if (!m_typed)
        return;
    m_typed.reset();
    notifyView(ControlChange::Selection);
}

void ComboBox::userChoseItem(int index)
{
    assert(index >= 0 && index < ListCount() && "the user can only choose an existing item");
    m_listIndex = index;
    m_text = m_items[static_cast<std::size_t>(index)];
    m_typed.reset();
    if (Click)
        Click();
}

void ComboBox::userTypedText(std::string text)
{
    if (text == m_text)
        m_typed.reset();
    else
        m_typed = std::move(text);
}

void ComboBox::userCommitted()
{
    if (!m_typed)
        return;
    if (Commit)
        Commit();
    // Nobody took the text: it is dropped, never half in effect.
    cancelTyping();
}

void TextBox::setText(std::string text)
{
    const bool wasTyping = m_typed.has_value();
    m_typed.reset();
    if (text == m_text) {
        if (wasTyping)
            notifyView(ControlChange::Text);
        return;
    }
    m_text = std::move(text);
    notifyView(ControlChange::Text);
    if (Change)
        Change();
}

void TextBox::userTypedText(std::string text)
{
    if (text == m_text)
        m_typed.reset();
    else
        m_typed = std::move(text);
}

void TextBox::userCommitted()
{
    if (!m_typed)
        return;
    m_text = std::move(*m_typed);
    m_typed.reset();
    if (Change)
        Change();
}

void CheckBox::setValue(std::int16_t value)
{
    const bool changed = value != m_value;
    m_value = value;
    notifyView(ControlChange::Value);
    if (changed && ValueChanged)
        ValueChanged();
}

void CheckBox::userSetValue(std::int16_t value)
{
    const bool changed = value != m_value;
    m_value = value;
    if (changed && ValueChanged)
        ValueChanged();
}

void OleContainer::setAction(int action)
{
    if (action == kActivate && activateObject)
        activateObject();
}

} // namespace tindora
