// Loading and saving the reminder slots: the settings file.
#include "form1.h"

#include "settings_file.h"
#include "settings_messages.h"

#include <utility>

namespace tindora {
namespace {

using settings::FieldRef;
using settings::FieldRole;
using settings::LoadProblem;

struct SaveOutcome {
    std::optional<settings::StoreError> error;
    // Fields whose characters the file's encoding lacks (saved as '?').
    std::vector<FieldRef> inexact;
};

SaveOutcome saveSlots(std::array<ReminderSlot, 3>& slots, settings::SettingsStore& store)
{
    settings::SettingsTexts texts;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const ReminderSlot& slot = slots[i];
        texts[i] = {slot.hour.Text(), slot.minute.Text(), slot.second.Text(), slot.lead.Text(), slot.note.Text()};
    }
    settings::WrittenSettings written = settings::writeSettings(texts, store.codec());
    SaveOutcome outcome;
    outcome.error = store.replace(written.bytes);
    if (!outcome.error)
        outcome.inexact = std::move(written.inexact);
    return outcome;
}

ComboBox& pickerOf(ReminderSlot& slot, FieldRole role)
{
    if (role == FieldRole::Hour)
        return slot.hour;
    return role == FieldRole::Minute ? slot.minute : slot.second;
}

// Puts one field into its control, raising the control's event as a user's
// choice would; what does not fit leaves the control as it was.
std::optional<LoadProblem> applyField(ReminderSlot& slot, FieldRole role, const settings::ReadField& field,
                                      const FieldRef& ref)
{
    switch (role) {
    case FieldRole::Hour:
    case FieldRole::Minute:
    case FieldRole::Second: {
        // An empty field selects nothing, as -1 does: a picker the user never
        // touched stays untouched instead of coming back as 0.
        const std::optional<int> index = settings::pickerIndexOf(field.text);
        if (!index || !pickerOf(slot, role).setListIndex(*index))
            return LoadProblem{LoadProblem::Kind::OutOfRange, field.place, ref, field.text};
        return std::nullopt;
    }
    case FieldRole::Lead: {
        const std::optional<std::string> lead = settings::leadTextOf(field.text);
        if (!lead)
            return LoadProblem{LoadProblem::Kind::NumberTooLong, field.place, ref, field.text};
        slot.lead.setText(*lead);
        return std::nullopt;
    }
    case FieldRole::Note:
        slot.note.setText(field.text);
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

void Form1::载入固定时间()
{
    const settings::StoreRead file = m_settingsStore.readOrCreate();
    if (file.error) {
        runtime().messageBox(settings::describeLoadFailure(m_settingsStore.location(), *file.error),
                             mb::kIconExclamation, kAboutTitle);
        return;
    }
    if (file.bytes.empty())
        return;

    const settings::SettingsReading reading = settings::readSettings(file.bytes, m_settingsStore.codec());
    std::vector<LoadProblem> problems;
    for (int i = 0; i < settings::kFieldCount; ++i) {
        const FieldRef ref{i / settings::kFieldsPerSlot, static_cast<FieldRole>(i % settings::kFieldsPerSlot)};
        if (static_cast<std::size_t>(i) >= reading.fields.size()) {
            problems.push_back({LoadProblem::Kind::FileEnded, reading.endedAt, ref, {}});
            break;
        }
        const settings::ReadField& field = reading.fields[static_cast<std::size_t>(i)];
        if (!field.exactText)
            problems.push_back({LoadProblem::Kind::NotText, field.place, ref, field.text});
        if (auto problem = applyField(m_slots[static_cast<std::size_t>(ref.slot)], ref.role, field, ref))
            problems.push_back(std::move(*problem));
    }
    if (problems.empty())
        return;
    // The file holds something the window could not take: keep it as it is
    // before a save replaces it, so a hand edit with one typo is not lost.
    m_settingsStore.keepCopyBeforeNextReplace();
    runtime().messageBox(settings::describeLoadProblem(m_settingsStore.location(), problems.front(),
                                                       static_cast<int>(problems.size()) - 1),
                         mb::kIconExclamation, kAboutTitle);
}

bool Form1::保存固定时间()
{
    const SaveOutcome outcome = saveSlots(m_slots, m_settingsStore);
    if (outcome.error) {
        runtime().messageBox(settings::describeSaveFailure(m_settingsStore.location(), *outcome.error, false),
                             mb::kIconExclamation, kAboutTitle);
        return false;
    }
    if (!outcome.inexact.empty())
        runtime().messageBox(settings::describeInexactSave(m_settingsStore.location(), outcome.inexact, false),
                             mb::kIconExclamation, kAboutTitle);
    return true;
}

bool Form1::saveBeforeLeaving()
{
    // Closing through the tray menu saves twice on one way out; a user who
    // chose to leave without saving at the first is not asked again.
    const bool alreadyChoseToLeave = std::exchange(m_leavingWithoutSaving, false);
    const SaveOutcome outcome = saveSlots(m_slots, m_settingsStore);
    if (!outcome.error && outcome.inexact.empty())
        return true;
    if (alreadyChoseToLeave)
        return true;
    const std::string text =
        outcome.error ? settings::describeSaveFailure(m_settingsStore.location(), *outcome.error, true)
                      : settings::describeInexactSave(m_settingsStore.location(), outcome.inexact, true);
    if (runtime().messageBox(text, mb::kYesNo | mb::kIconExclamation, kAboutTitle) != mb::kIdNo)
        return false;
    m_leavingWithoutSaving = true;
    return true;
}

} // namespace tindora
