#pragma once
// Form1, the program's only window: three reminder rows, three options, the
// About, Minimize to tray and Exit buttons, the one-second timer, the sound
// container and the tray menu, with every handler the program has. Written
// once against the forms runtime; every backend only maps it onto native widgets.

#include "clock.h"
#include "controls.h"
#include "form1_layout.h"
#include "forms_runtime.h"
#include "module1.h"
#include "reminder_slot.h"
#include "settings_store.h"
#include "tick_driver.h"
#include "tray_icon.h"
#include "window.h"

#include <array>
#include <string_view>

namespace tindora {

// What a backend hands to Form1.
struct FormServices {
    FormsRuntime& runtime;
    TrayIcon& trayIcon;
    settings::SettingsStore& settingsStore;
};

class Form1 : public FormWindow {
public:
    explicit Form1(FormServices services);

    // The controls, by their design names.
    Label Label1{"Label1", captionOf("Label1")};
    ComboBox Combo2{"Combo2"};
    ComboBox Combo3{"Combo3"};
    ComboBox Combo4{"Combo4"};
    TextBox Text1{"Text1", captionOf("Text1")};
    TextBox Text2{"Text2", captionOf("Text2")};
    CheckBox Check1{"Check1", captionOf("Check1"), valueOf("Check1")};
    ComboBox Combo7{"Combo7"};
    ComboBox Combo6{"Combo6"};
    ComboBox Combo5{"Combo5"};
    TextBox Text4{"Text4", captionOf("Text4")};
    TextBox Text3{"Text3", captionOf("Text3")};
    CheckBox Check2{"Check2", captionOf("Check2"), valueOf("Check2")};
    ComboBox Combo11{"Combo11"};
    ComboBox Combo10{"Combo10"};
    ComboBox Combo9{"Combo9"};
    TextBox Text6{"Text6", captionOf("Text6")};
    TextBox Text5{"Text5", captionOf("Text5")};
    CheckBox Check3{"Check3", captionOf("Check3"), valueOf("Check3")};
    Label Label2{"Label2", captionOf("Label2")};
    Label Label3{"Label3", captionOf("Label3")};
    Label Label4{"Label4", captionOf("Label4")};
    Label Label5{"Label5", captionOf("Label5")};
    Label Label6{"Label6", captionOf("Label6")};
    Label Label7{"Label7", captionOf("Label7")};
    Label Label8{"Label8", captionOf("Label8")};
    Label Label9{"Label9", captionOf("Label9")};
    OleContainer OLE1{"OLE1", captionOf("OLE1")};
    CommandButton Command4{"Command4", captionOf("Command4")};
    CommandButton Command6{"Command6", captionOf("Command6")};
    CommandButton Command5{"Command5", captionOf("Command5")};
    Timer Timer1{"Timer1", layout::kTimerIntervalMillis};
    Menu mnuTray{"mnuTray", std::string(layout::kTrayMenuCaption)};
    MenuItem mnuTrayClose{"mnuTrayClose", std::string(layout::kTrayCloseCaption)};

    // The derived times: pre-warning and due time of slots 1, 2 and 3.
    TimeOfDay time1, time2, time3, time4, time5, time6;
    // Whether each slot is set up (at least one picker holds text).
    std::array<bool, 3> slotSetUp{};

    // Recompute the derived times of slot 1, 2 or 3 from its controls.
    void 计算固定时间1();
    void 计算固定时间2();
    void 计算固定时间3();
    // Load the slots from the settings file into the controls; save them.
    void 载入固定时间();
    // True when the settings file was written.
    bool 保存固定时间();

    void Combo2_Click();
    void Combo3_Click();
    void Combo4_Click();
    void Text1_Change();
    void Combo7_Click();
    void Combo6_Click();
    void Combo5_Click();
    void Text4_Change();
    void Combo11_Click();
    void Combo10_Click();
    void Combo9_Click();
    void Text6_Change();
    void Timer1_Timer();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void mnuTrayClose_Click();

    // For backends and tests.
    Control* findControl(std::string_view name);
    std::array<ReminderSlot, 3>& slots() { return m_slots; }
    Clock& clock() { return m_clock; }
    TickDriver& tickDriver() { return m_tickDriver; }
    tray::Module1& trayModule() { return m_tray; }
    // What a tick reads to decide whether it announces: the derived times,
    // which slots are set up, and the options.
    TickMoments tickMoments() const;
    settings::SettingsStore& settingsStore() { return m_settingsStore; }

    static constexpr std::string_view kAboutTitle = "Tindora";
    static constexpr BoxStyle kAboutStyle{BoxIcon::Information};
    // What the user must know about a field or the settings file.
    static constexpr BoxStyle kWarningStyle{BoxIcon::Exclamation};
    // A save failed on the way out: Yes stays in the program, No leaves.
    static constexpr BoxStyle kStayOrLeaveStyle{BoxIcon::Exclamation, BoxButtons::YesNo};
    static constexpr std::string_view kTrayTip = "Tindora";
    static const std::string& aboutText();

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(std::int16_t& cancel) override;

private:
    static std::string captionOf(std::string_view name) { return std::string(layout::find(name)->caption); }
    static std::int16_t valueOf(std::string_view name)
    {
        return static_cast<std::int16_t>(layout::find(name)->initialValue);
    }

    void recompute(ReminderSlot& slot);
    // Names the reminders whose due time passed unjudged while the computer slept.
    void reportMissedReminders(const TickScheduler::Gap& gap);
    // Saves on a way out of the program; false when the user chose to stay.
    bool saveBeforeLeaving();
    // Takes the window off the screen: to the tray, or onto the taskbar when
    // there is no tray icon to bring it back with.
    void hideToTray();

    settings::SettingsStore& m_settingsStore;
    tray::Module1 m_tray;
    Clock m_clock;
    TickDriver m_tickDriver;
    std::array<ReminderSlot, 3> m_slots;
    // Set when the user chose to leave although the save failed.
    bool m_leavingWithoutSaving = false;
    // The fields and texts the user was last told cannot be saved exactly.
    std::string m_inexactWarnedFor;
};

} // namespace tindora
