#include "form1.h"

#include "announcements.h"
#include "tick_evaluator.h"

namespace tindora {

Form1::Form1(FormServices services)
    : FormWindow(std::string(layout::kWindowTitle), services.runtime), m_settingsStore(services.settingsStore),
      m_tray(services.trayIcon), m_clock(services.runtime),
      m_tickDriver(Timer1, m_clock, services.runtime,
                   {[this] { return tickMoments(); },
                    [this](const TickScheduler::Gap& gap) { reportMissedReminders(gap); },
                    [this](const TickScheduler::Skip& skip) { announceSkipped(skip); }}),
      m_slots{{
          {1, Combo2, Combo3, Combo4, Text1, Text2, time1, time2, leadMinutes[0], slotSetUp[0]},
          {2, Combo7, Combo6, Combo5, Text4, Text3, time3, time4, leadMinutes[1], slotSetUp[1]},
          {3, Combo11, Combo10, Combo9, Text6, Text5, time5, time6, leadMinutes[2], slotSetUp[2]},
      }}
{
    mnuTray.addItem(mnuTrayClose);

    Combo2.Click = [this] { Combo2_Click(); };
    Combo3.Click = [this] { Combo3_Click(); };
    Combo4.Click = [this] { Combo4_Click(); };
    Text1.Change = [this] { Text1_Change(); };
    Combo7.Click = [this] { Combo7_Click(); };
    Combo6.Click = [this] { Combo6_Click(); };
    Combo5.Click = [this] { Combo5_Click(); };
    Text4.Change = [this] { Text4_Change(); };
    Combo11.Click = [this] { Combo11_Click(); };
    Combo10.Click = [this] { Combo10_Click(); };
    Combo9.Click = [this] { Combo9_Click(); };
    Text6.Change = [this] { Text6_Change(); };
    Timer1.TimerEvent = [this] { Timer1_Timer(); };
    Command4.Click = [this] { Command4_Click(); };
    Command5.Click = [this] { Command5_Click(); };
    Command6.Click = [this] { Command6_Click(); };
    mnuTrayClose.Click = [this] { mnuTrayClose_Click(); };
    OLE1.activateObject = [this] { runtime().playAlertClip(); };
    // Typed picker text is checked when the user commits it; a committed note
    // is saved at once, as every committed edit is.
    for (ReminderSlot& slot : m_slots) {
        // The lead in effect before anything is loaded or typed: the design's.
        slot.leadMinutes = roundHalfEven(Val(slot.lead.Text()));
        slot.hour.Commit = [this, &slot] { commitPicker(slot, slot.hour, SlotField::Hour); };
        slot.minute.Commit = [this, &slot] { commitPicker(slot, slot.minute, SlotField::Minute); };
        slot.second.Commit = [this, &slot] { commitPicker(slot, slot.second, SlotField::Second); };
        slot.note.Change = [this] { saveEdits(); };
    }
    // The options raise no event of their own; the clock only plans anew.
    for (CheckBox* option : {&Check1, &Check2, &Check3})
        option->ValueChanged = [this] { m_tickDriver.rearm(); };
}

void Form1::recompute(ReminderSlot& slot)
{
    // A lead refused while the session ends is dropped unsaid, as a refused
    // picker text is: nothing may wait for an answer then.
    if (const auto error = recomputeSlot(slot); error && !m_quietCommits)
        runtime().messageBox(describeSlotInputError(slot.number, *error), kWarningStyle, kAboutTitle);
    // The field shows the lead in effect: the whole minutes the warning
    // comes ahead, which the box states and the file holds. Writing it raises
    // Change, which recomputes once more and finds nothing left to do.
    const std::string inEffect = numberToText(slot.leadMinutes);
    if (slot.lead.Text() != inEffect) {
        slot.lead.setText(inEffect);
        return;
    }
    m_tickDriver.rearm();
    saveEdits();
}

void Form1::commitPicker(ReminderSlot& slot, ComboBox& picker, SlotField field)
{
    const std::string typed = *picker.typedText();
    if (const auto item = pickerItemOf(typed, picker.ListCount() - 1)) {
        picker.setListIndex(*item);
        return;
    }
    // Nothing rejected is ever shown as set: the picker shows what is in effect.
    picker.cancelTyping();
    if (!m_quietCommits)
        runtime().messageBox(describeSlotInputError(slot.number, {field, typed}), kWarningStyle, kAboutTitle);
}

TickMoments Form1::tickMoments() const
{
    TickMoments moments;
    for (std::size_t i = 0; i < m_slots.size(); ++i)
        moments.slots[i] = {m_slots[i].preWarning, m_slots[i].due, m_slots[i].setUp};
    moments.soundOn = Check1.isOn();
    moments.fixedTimeOn = Check2.isOn();
    moments.hourlyOn = Check3.isOn();
    return moments;
}

void Form1::reportMissedReminders(const TickScheduler::Gap& gap)
{
    std::vector<announcement::MissedLine> lines;
    for (const MissedDue& missed : missedDueMoments(tickMoments(), gap.after, gap.before)) {
        const ReminderSlot& slot = m_slots[static_cast<std::size_t>(missed.slot)];
        lines.push_back({slot.number, runtime().formatTimeOfDay(missed.due), slot.note.Text(), missed.times});
    }
    if (!lines.empty())
        runtime().messageBox(announcement::missedText(lines), announcement::kMissedStyle, announcement::kMissedTitle);
}

void Form1::announceSkipped(const TickScheduler::Skip& skip)
{
    Clock::TickScope scope(m_clock, skip.before);
    TickInputs inputs{m_slots, Check1, Check2, Check3, OLE1, m_clock, runtime()};
    announceSkippedMoments(inputs, skip.after, skip.before);
}

void Form1::计算固定时间1() { recompute(m_slots[0]); }
void Form1::计算固定时间2() { recompute(m_slots[1]); }
void Form1::计算固定时间3() { recompute(m_slots[2]); }

void Form1::Combo2_Click() { 计算固定时间1(); }
void Form1::Combo3_Click() { 计算固定时间1(); }
void Form1::Combo4_Click() { 计算固定时间1(); }
void Form1::Text1_Change() { 计算固定时间1(); }
void Form1::Combo7_Click() { 计算固定时间2(); }
void Form1::Combo6_Click() { 计算固定时间2(); }
void Form1::Combo5_Click() { 计算固定时间2(); }
void Form1::Text4_Change() { 计算固定时间2(); }
void Form1::Combo11_Click() { 计算固定时间3(); }
void Form1::Combo10_Click() { 计算固定时间3(); }
void Form1::Combo9_Click() { 计算固定时间3(); }
void Form1::Text6_Change() { 计算固定时间3(); }

void Form1::Timer1_Timer()
{
    TickInputs inputs{m_slots, Check1, Check2, Check3, OLE1, m_clock, runtime()};
    evaluateTick(inputs);
}

} // namespace tindora
