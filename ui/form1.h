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

    // The controls on the window, declared in tab order, each with its design:
    // place and size in twips, caption or initial text, initial value.
    Label Label1{m_controls, {"Label1", 120, 120, 735, 255, "时间1："}};
    ComboBox Combo2{m_controls, {"Combo2", 720, 0, 615, 300}};
    ComboBox Combo3{m_controls, {"Combo3", 1440, 0, 615, 300}};
    ComboBox Combo4{m_controls, {"Combo4", 2160, 0, 615, 300}};
    TextBox Text1{m_controls, {"Text1", 3360, 0, 375, 270, "5"}};
    TextBox Text2{m_controls, {"Text2", 5520, 0, 4575, 270}};
    CheckBox Check1{m_controls, {"Check1", 120, 1200, 1095, 375, "铃声提醒", CheckBox::kChecked}};
    ComboBox Combo7{m_controls, {"Combo7", 720, 360, 615, 300}};
    ComboBox Combo6{m_controls, {"Combo6", 1440, 360, 615, 300}};
    ComboBox Combo5{m_controls, {"Combo5", 2160, 360, 615, 300}};
    TextBox Text4{m_controls, {"Text4", 3360, 360, 375, 270, "5"}};
    TextBox Text3{m_controls, {"Text3", 5520, 360, 4575, 270}};
    CheckBox Check2{m_controls, {"Check2", 1320, 1200, 1095, 375, "固定报时", CheckBox::kChecked}};
    ComboBox Combo11{m_controls, {"Combo11", 720, 720, 615, 300}};
    ComboBox Combo10{m_controls, {"Combo10", 1440, 720, 615, 300}};
    ComboBox Combo9{m_controls, {"Combo9", 2160, 720, 615, 300}};
    TextBox Text6{m_controls, {"Text6", 3360, 720, 375, 270, "5"}};
    TextBox Text5{m_controls, {"Text5", 5520, 720, 4575, 270}};
    CheckBox Check3{m_controls, {"Check3", 2520, 1200, 1095, 375, "整点报时", CheckBox::kUnchecked}};
    Label Label2{m_controls, {"Label2", 2880, 120, 375, 255, "提前"}};
    Label Label3{m_controls, {"Label3", 3840, 120, 1695, 255, "分提醒，提醒事件："}};
    Label Label4{m_controls, {"Label4", 3840, 480, 1695, 255, "分提醒，提醒事件："}};
    Label Label5{m_controls, {"Label5", 2880, 480, 375, 255, "提前"}};
    Label Label6{m_controls, {"Label6", 120, 480, 735, 255, "时间2："}};
    Label Label7{m_controls, {"Label7", 3840, 840, 1695, 255, "分提醒，提醒事件："}};
    Label Label8{m_controls, {"Label8", 2880, 840, 375, 255, "提前"}};
    Label Label9{m_controls, {"Label9", 120, 840, 735, 255, "时间3："}};
    OleContainer OLE1{m_controls, {"OLE1", 4440, 1200, 495, 375, "SoundRec"}};
    CommandButton Command4{m_controls, {"Command4", 5520, 1200, 1455, 375, "关    于"}};
    CommandButton Command6{m_controls, {"Command6", 7080, 1200, 1455, 375, "最小化到托盘"}};
    CommandButton Command5{m_controls, {"Command5", 8640, 1200, 1455, 375, "退    出"}};
    // Not on the window.
    Timer Timer1{{"Timer1"}};
    Menu mnuTray{{"mnuTray", 0, 0, 0, 0, "右键菜单"}};
    MenuItem mnuTrayClose{{"mnuTrayClose", 0, 0, 0, 0, "关闭"}};

    // The derived times: pre-warning and due time of slots 1, 2 and 3.
    TimeOfDay time1, time2, time3, time4, time5, time6;
    // Each slot's lead in whole minutes, and whether it is set up (at least
    // one picker has an item selected).
    std::array<double, 3> leadMinutes{};
    std::array<bool, 3> slotSetUp{};

    // Recompute the derived times of slot 1, 2 or 3 from its controls.
    void 计算固定时间1();
    void 计算固定时间2();
    void 计算固定时间3();
    // Load the slots from the settings file into the controls; save them.
    void 载入固定时间();
    // True when the settings file was written.
    bool 保存固定时间();

    // What the user is typing in any field takes effect now, as if they had
    // committed it; `quietly`, a picker's invalid text is dropped without a box.
    void commitPendingEdits(bool quietly = false);

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
    void recompute(ReminderSlot& slot);
    // Takes what the user typed into a picker, or says why not and drops it.
    void commitPicker(ReminderSlot& slot, ComboBox& picker, SlotField field);
    // Names the reminders whose due time passed unjudged while the computer slept.
    void reportMissedReminders(const TickScheduler::Gap& gap);
    // Announces the moments of local seconds the clock sprang forward over.
    void announceSkipped(const TickScheduler::Skip& skip);
    // Saves an edit the user committed; a failure is told once per cause and
    // the next save point tries again.
    void saveEdits();
    // Saves what is in effect and tells the user what they must know: a
    // failure once per cause, another program's version kept as time.txt.bak,
    // characters the file cannot hold once per change. False when the file
    // was not written.
    bool saveAndTell();
    // Saves on a way out of the program; false when the user chose to stay.
    bool saveBeforeLeaving();
    // Saves as the session ends: nothing may wait for an answer.
    void saveAsTheSessionEnds();
    // Tells the user that time.txt had been changed by another program and
    // was kept as time.txt.bak before the save replaced it.
    void tellOtherVersionKept(bool sessionEnding);
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
    // Form_Load has put the settings file into the window: edits save from now on.
    bool m_loaded = false;
    bool m_quietCommits = false;
    // Every field is being committed for a save point, which then saves once.
    bool m_committingAll = false;
    // What the last failed save of an edit was told about (kind, file).
    std::optional<std::pair<settings::StoreErrorKind, settings::StoreFile>> m_saveFailureTold;
    // The fields and texts the user was last told cannot be saved exactly.
    std::string m_inexactWarnedFor;
};

} // namespace tindora
