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
    // time.txt had been changed by another program; that version is time.txt.bak now.
    bool keptOtherVersion = false;
    // Fields whose characters the file's encoding lacks (saved as '?').
    std::vector<FieldRef> inexact;
    // Those fields with their texts: the user has been told about them once
    // they have seen a box for this very key.
    std::string inexactKey;
};

settings::SettingsTexts textsOf(const std::array<ReminderSlot, 3>& slots)
{
    settings::SettingsTexts texts;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const ReminderSlot& slot = slots[i];
        texts[i] = {slot.hour.Text(), slot.minute.Text(), slot.second.Text(), slot.lead.Text(), slot.note.Text()};
    }
    return texts;
}

std::string keyOf(const std::vector<FieldRef>& fields, const settings::SettingsTexts& texts)
{
    std::string key;
    for (const FieldRef& field : fields) {
        key += std::to_string(field.slot) + "." + std::to_string(static_cast<int>(field.role)) + ":";
        key += texts[static_cast<std::size_t>(field.slot)][field.role];
        key.push_back('\0');
    }
    return key;
}

SaveOutcome saveSlots(std::array<ReminderSlot, 3>& slots, settings::SettingsStore& store)
{
    const settings::SettingsTexts texts = textsOf(slots);
    settings::WrittenSettings written = settings::writeSettings(texts, store.codec());
    SaveOutcome outcome;
    outcome.error = store.replace(written.bytes);
    if (!outcome.error) {
        outcome.keptOtherVersion = store.keptOtherVersion();
        outcome.inexactKey = keyOf(written.inexact, texts);
        outcome.inexact = std::move(written.inexact);
    }
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
        runtime().messageBox(
            settings::describeLoadFailure(m_settingsStore.location(), *file.error, file.unreadableFileKept),
            kWarningStyle, kAboutTitle);
        return;
    }
    if (file.bytes.empty())
        return;

    const settings::SettingsReading reading = settings::readSettings(file.bytes, m_settingsStore.codec());
    std::vector<LoadProblem> problems;
    std::vector<FieldRef> unreadableNotes;
    for (int i = 0; i < settings::kFieldCount; ++i) {
        const FieldRef ref{i / settings::kFieldsPerSlot, static_cast<FieldRole>(i % settings::kFieldsPerSlot)};
        if (static_cast<std::size_t>(i) >= reading.fields.size()) {
            problems.push_back({LoadProblem::Kind::FileEnded, reading.endedAt, ref, {}});
            break;
        }
        const settings::ReadField& field = reading.fields[static_cast<std::size_t>(i)];
        if (!field.exactText) {
            problems.push_back({LoadProblem::Kind::NotText, field.place, ref, field.text});
            // A number read from mangled text would be a guess: the control
            // keeps its default. A note is shown with what could be read.
            if (ref.role != FieldRole::Note)
                continue;
            unreadableNotes.push_back(ref);
        }
        if (auto problem = applyField(m_slots[static_cast<std::size_t>(ref.slot)], ref.role, field, ref))
            problems.push_back(std::move(*problem));
    }
    // The file holds something the window could not take, or was saved by an
    // editor as UTF-8 and will be written back in the usual encoding: keep it
    // as it is before a save replaces it, so a hand edit is never lost.
    if (reading.readAsUtf8 || !problems.empty())
        m_settingsStore.keepCopyBeforeNextReplace();
    if (problems.empty())
        return;
    // Told once: where the encoding cannot store the replaced characters
    // either, the saves that follow need not say it again.
    m_inexactWarnedFor = keyOf(unreadableNotes, textsOf(m_slots));
    runtime().messageBox(settings::describeLoadProblems(m_settingsStore.location(), problems), kWarningStyle,
                         kAboutTitle);
}

void Form1::commitPendingEdits(bool quietly)
{
    m_quietCommits = quietly;
    m_committingAll = true;
    for (ReminderSlot& slot : m_slots) {
        for (ComboBox* picker : {&slot.hour, &slot.minute, &slot.second})
            picker->userCommitted();
        slot.lead.userCommitted();
        slot.note.userCommitted();
    }
    m_quietCommits = false;
    m_committingAll = false;
}

bool Form1::保存固定时间() { return saveAndTell(); }

void Form1::saveEdits()
{
    // The load puts the file into the window: nothing to save back yet. A
    // save point that commits every field saves once, after them.
    if (!m_loaded || isUnloaded() || m_committingAll)
        return;
    saveAndTell();
}

bool Form1::saveAndTell()
{
    const SaveOutcome outcome = saveSlots(m_slots, m_settingsStore);
    if (outcome.error) {
        // Told once per cause: every committed field tries again, and the
        // next save point does too.
        const std::pair cause{outcome.error->kind, outcome.error->file};
        if (m_saveFailureTold != cause) {
            m_saveFailureTold = cause;
            runtime().messageBox(settings::describeSaveFailure(m_settingsStore.location(), *outcome.error, false),
                                 kWarningStyle, kAboutTitle);
        }
        return false;
    }
    m_saveFailureTold.reset();
    if (outcome.keptOtherVersion)
        tellOtherVersionKept(false);
    // One box per cause: the same fields with the same texts are not
    // reported again at the next save.
    if (!outcome.inexact.empty() && outcome.inexactKey != m_inexactWarnedFor)
        runtime().messageBox(settings::describeInexactSave(m_settingsStore.location(), outcome.inexact, false),
                             kWarningStyle, kAboutTitle);
    m_inexactWarnedFor = outcome.inexactKey;
    return true;
}

void Form1::tellOtherVersionKept(bool sessionEnding)
{
    const std::string text = settings::describeOtherVersionKept(m_settingsStore.location());
    if (sessionEnding)
        runtime().tellWhileEnding(text);
    else
        runtime().messageBox(text, kWarningStyle, kAboutTitle);
}

bool Form1::saveBeforeLeaving()
{
    // Closing through the tray menu saves twice on one way out; a user who
    // chose to leave without saving at the first is not asked again.
    const bool alreadyChoseToLeave = std::exchange(m_leavingWithoutSaving, false);
    const SaveOutcome outcome = saveSlots(m_slots, m_settingsStore);
    if (outcome.keptOtherVersion)
        tellOtherVersionKept(false);
    if (!outcome.error && (outcome.inexact.empty() || outcome.inexactKey == m_inexactWarnedFor))
        return true;
    if (alreadyChoseToLeave)
        return true;
    if (!outcome.error)
        m_inexactWarnedFor = outcome.inexactKey;
    const std::string text = outcome.error
                                 ? settings::describeSaveFailure(m_settingsStore.location(), *outcome.error, true)
                                 : settings::describeInexactSave(m_settingsStore.location(), outcome.inexact, true);
    if (runtime().messageBox(text, kStayOrLeaveStyle, kAboutTitle) != BoxAnswer::No)
        return false;
    m_leavingWithoutSaving = true;
    return true;
}

void Form1::saveAsTheSessionEnds()
{
    commitPendingEdits(true);
    const SaveOutcome outcome = saveSlots(m_slots, m_settingsStore);
    if (outcome.error)
        runtime().tellWhileEnding(settings::describeSaveFailure(m_settingsStore.location(), *outcome.error, false));
    else if (outcome.keptOtherVersion)
        tellOtherVersionKept(true);
}

} // namespace tindora
