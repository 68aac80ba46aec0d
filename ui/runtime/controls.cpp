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
    notifyView(ControlChange::Selection);
    if (Click)
        Click();
    return true;
}

void ComboBox::userChoseItem(int index)
{
    assert(index >= 0 && index < ListCount() && "the user can only choose an existing item");
    m_listIndex = index;
    m_text = m_items[static_cast<std::size_t>(index)];
    if (Click)
        Click();
}

void ComboBox::userTypedText(std::string text)
{
    const bool changed = text != m_text || m_listIndex != -1;
    m_text = std::move(text);
    m_listIndex = -1;
    if (changed && Change)
        Change();
}

void TextBox::setText(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    notifyView(ControlChange::Text);
    if (Change)
        Change();
}

void TextBox::userTypedText(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
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
