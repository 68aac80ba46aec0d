#pragma once
// The controls of a form, as models: each owns its state and raises its events.
// A native backend attaches a view to mirror the state into a widget and feeds
// the user's input back through the user* calls, which change the state without
// echoing it to the view (the widget already shows it) and raise the events.
//
// What the user types into an editable field takes effect only when they
// commit it (Enter, or the focus leaving the field): until then Text() is the
// value in effect and the typed text waits in typedText().
//
// An event raised by a property write runs to its end before the write returns.
// Event handlers must not throw.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tindora {

using Event = std::function<void()>;

enum class ControlChange { Text, Items, Selection, Value, Caption };

class ControlView {
public:
    virtual ~ControlView() = default;
    virtual void controlChanged(ControlChange what) = 0;
};

// Where a control sits on its form and what it shows first: its place and size
// in twips from the top-left corner of the client area, its caption (or
// initial text), and a check box's initial value. Controls that are not drawn
// on the window (the timer, the menu) have only a name.
struct ControlDesign {
    std::string_view name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string_view caption = {};
    std::int16_t value = 0;
};

class ControlList;

class Control {
public:
    explicit Control(const ControlDesign& design) : m_design(design) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    std::string_view name() const { return m_design.name; }
    const ControlDesign& design() const { return m_design; }
    // The backend's view of this control; nullptr detaches it.
    void setView(ControlView* view) { m_view = view; }

protected:
    void notifyView(ControlChange what)
    {
        if (m_view)
            m_view->controlChanged(what);
    }

private:
    ControlDesign m_design;
    ControlView* m_view = nullptr;
};

// A caption that only the program sets: labels, buttons, check boxes.
class CaptionedControl : public Control {
public:
    explicit CaptionedControl(const ControlDesign& design) : Control(design), m_caption(design.caption) {}
    const std::string& Caption() const { return m_caption; }
    void setCaption(std::string caption);

private:
    std::string m_caption;
};

class Label : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    Label(ControlList& form, const ControlDesign& design);
};

// A drop-down combo box: an editable text with a list of items.
class ComboBox : public Control {
public:
    using Control::Control;
    ComboBox(ControlList& form, const ControlDesign& design);

    // Appends an item (index = position from 0). Selects nothing, raises nothing.
    void AddItem(std::string item);
    int ListCount() const { return static_cast<int>(m_items.size()); }
    const std::string& List(int index) const;

    // -1 while no item is selected.
    int ListIndex() const { return m_listIndex; }
    // Selects item `index` (or, with -1, nothing, emptying the text) and raises
    // Click; drops what was being typed. An index outside -1..ListCount()-1
    // changes nothing and returns false.
    bool setListIndex(int index);

    // The text in effect: the selected item's, or empty.
    const std::string& Text() const { return m_text; }
    // What the user typed and has not committed yet.
    const std::optional<std::string>& typedText() const { return m_typed; }
    // Drops what was being typed: the field shows Text() again.
    void cancelTyping();

    Event Click;
    // The user committed typed text: the handler selects the item it names
    // (setListIndex) or drops it (cancelTyping). Not an event of the form's
    // design: the form listens to check what was typed.
    Event Commit;

    // The user chose a list item: raises Click.
    void userChoseItem(int index);
    // The user is typing into the edit field; nothing takes effect yet.
    void userTypedText(std::string text);
    // The user committed the field: raises Commit when something was typed.
    void userCommitted();

private:
    std::vector<std::string> m_items;
    int m_listIndex = -1;
    std::string m_text;
    std::optional<std::string> m_typed;
};

// A single-line text box.
class TextBox : public Control {
public:
    // Its initial text is the design's caption.
    explicit TextBox(const ControlDesign& design) : Control(design), m_text(design.caption) {}
    TextBox(ControlList& form, const ControlDesign& design);

    // The text in effect.
    const std::string& Text() const { return m_text; }
    // Raises Change when the text changes; drops what was being typed.
    void setText(std::string text);
    // What the user typed and has not committed yet.
    const std::optional<std::string>& typedText() const { return m_typed; }

    // Raised when the text in effect changed: by the program, or by the user's commit.
    Event Change;

    // The user is typing; nothing takes effect yet.
    void userTypedText(std::string text);
    // The user committed the field: what they typed takes effect, and Change
    // is raised when it differs from the text in effect.
    void userCommitted();

private:
    std::string m_text;
    std::optional<std::string> m_typed;
};

class CheckBox : public CaptionedControl {
public:
    static constexpr std::int16_t kUnchecked = 0;
    static constexpr std::int16_t kChecked = 1;

    explicit CheckBox(const ControlDesign& design) : CaptionedControl(design), m_value(design.value) {}
    CheckBox(ControlList& form, const ControlDesign& design);

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
    CommandButton(ControlList& form, const ControlDesign& design);
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

    // The class of the object it holds is the design's caption.
    explicit OleContainer(const ControlDesign& design) : Control(design), m_className(design.caption) {}
    OleContainer(ControlList& form, const ControlDesign& design);
    const std::string& Class() const { return m_className; }

    // What activation does; set by the form.
    std::function<void()> activateObject;
    // Action 7 activates the embedded object; other actions are not used.
    void setAction(int action);

private:
    std::string m_className;
};

// Raises its Timer event once for each second the tick driver hands over
// (tick_driver.h): the driver paces it, so it has no interval of its own.
class Timer : public Control {
public:
    using Control::Control;

    Event TimerEvent;
    void fire()
    {
        if (TimerEvent)
            TimerEvent();
    }
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

// The controls a form shows on its window, in tab order. Each registers itself
// here as it is made, so the list is the form's own member list, and a
// backend walks it with each control's own type.
class ControlList {
public:
    using Entry = std::variant<Label*, ComboBox*, TextBox*, CheckBox*, CommandButton*, OleContainer*>;

    void add(Entry control) { m_controls.push_back(control); }
    std::size_t size() const { return m_controls.size(); }

    // Calls visit(control) for each control in tab order, with its type.
    template <typename Visit> void forEach(Visit&& visit) const
    {
        for (const Entry& control : m_controls)
            std::visit([&visit](auto* typed) { visit(*typed); }, control);
    }

private:
    std::vector<Entry> m_controls;
};

} // namespace tindora
