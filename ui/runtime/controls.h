#pragma once
// The controls of a form, as models: each owns its state and raises its events.
// A native backend attaches a view to mirror the state into a widget and feeds
// the user's input back through the user* calls, which change the state without
// echoing it to the view (the widget already shows it) and raise the events.
//
// An event raised by a property write runs to its end before the write returns.
// Event handlers must not throw.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tindora {

using Event = std::function<void()>;

enum class ControlChange { Text, Items, Selection, Value, Caption };

class ControlView {
public:
    virtual ~ControlView() = default;
    virtual void controlChanged(ControlChange what) = 0;
};

class Control {
public:
    explicit Control(std::string name) : m_name(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }
    // The backend's view of this control; nullptr detaches it.
    void setView(ControlView* view) { m_view = view; }

protected:
    void notifyView(ControlChange what)
    {
        if (m_view)
            m_view->controlChanged(what);
    }

private:
    std::string m_name;
    ControlView* m_view = nullptr;
};

// A caption that only the program sets: labels, buttons, check boxes.
class CaptionedControl : public Control {
public:
    CaptionedControl(std::string name, std::string caption) : Control(std::move(name)), m_caption(std::move(caption)) {}
    const std::string& Caption() const { return m_caption; }
    void setCaption(std::string caption);

private:
    std::string m_caption;
};

class Label : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

// A drop-down combo box: an editable text with a list of items.
class ComboBox : public Control {
public:
    using Control::Control;

    // Appends an item (index = position from 0). Selects nothing, raises nothing.
    void AddItem(std::string item);
    int ListCount() const { return static_cast<int>(m_items.size()); }
    const std::string& List(int index) const;

    // -1 while no item is selected (nothing chosen, or text typed).
    int ListIndex() const { return m_listIndex; }
    // Selects item `index` (or, with -1, nothing, emptying the text) and raises
    // Click. An index outside -1..ListCount()-1 changes nothing and returns false.
    bool setListIndex(int index);

    const std::string& Text() const { return m_text; }

    Event Click;
    Event Change;

    // The user chose a list item: raises Click.
    void userChoseItem(int index);
    // The user typed into the edit field: the text changes, the selection goes,
    // and only Change is raised.
    void userTypedText(std::string text);

private:
    std::vector<std::string> m_items;
    int m_listIndex = -1;
    std::string m_text;
};

// A single-line text box.
class TextBox : public Control {
public:
    TextBox(std::string name, std::string text) : Control(std::move(name)), m_text(std::move(text)) {}

    const std::string& Text() const { return m_text; }
    // Raises Change when the text changes.
    void setText(std::string text);

    Event Change;

    // The user edited the text: raises Change when it changed.
    void userTypedText(std::string text);

private:
    std::string m_text;
};

class CheckBox : public CaptionedControl {
public:
    static constexpr std::int16_t kUnchecked = 0;
    static constexpr std::int16_t kChecked = 1;

    CheckBox(std::string name, std::string caption, std::int16_t value)
        : CaptionedControl(std::move(name), std::move(caption)), m_value(value)
    {
    }

    std::int16_t Value() const { return m_value; }
    // On only when exactly 1, ticked.
    bool isOn() const { return m_value == kChecked; }
    void setValue(std::int16_t value);

    // Raised after the value changed, by the program or the user. Not an
    // event of the form's design: the form only listens to plan its clock.
    Event ValueChanged;

    void userSetValue(std::int16_t value);

private:
    std::int16_t m_value;
};

class CommandButton : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    Event Click;
    void userPressed()
    {
        if (Click)
            Click();
    }
};

// The container that holds the alert clip; activating it plays the clip.
class OleContainer : public Control {
public:
    static constexpr int kActivate = 7;

    OleContainer(std::string name, std::string className) : Control(std::move(name)), m_className(std::move(className))
    {
    }
    const std::string& Class() const { return m_className; }

    // What activation does; set by the form.
    std::function<void()> activateObject;
    // Action 7 activates the embedded object; other actions are not used.
    void setAction(int action);

private:
    std::string m_className;
};

class Timer : public Control {
public:
    Timer(std::string name, int intervalMillis) : Control(std::move(name)), m_interval(intervalMillis) {}
    int Interval() const { return m_interval; }
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    Event TimerEvent;
    // One tick: raises the Timer event when enabled.
    void fire()
    {
        if (m_enabled && TimerEvent)
            TimerEvent();
    }

private:
    int m_interval;
    bool m_enabled = true;
};

class MenuItem : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    Event Click;
    void userChose()
    {
        if (Click)
            Click();
    }
};

// A menu that is never shown on the window, only popped up.
class Menu : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    void addItem(MenuItem& item) { m_items.push_back(&item); }
    const std::vector<MenuItem*>& items() const { return m_items; }

private:
    std::vector<MenuItem*> m_items;
};

} // namespace tindora
