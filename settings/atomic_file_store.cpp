#include "atomic_file_store.h"

namespace tindora::settings {
namespace {

// A settings file that is there and cannot be read for this reason is moved
// aside unread by a save. Not a folder of that name, which stays where it is,
// nor a file another program holds, which cannot be replaced either.
bool movedAsideUnread(StoreErrorKind kind)
{
    return kind != StoreErrorKind::BadPath && kind != StoreErrorKind::IsFolder && kind != StoreErrorKind::InUse;
}

} // namespace

StoreRead AtomicFileStore::readOrCreate()
{
    StoreRead result;
    result.error = readWhole(File::Settings, true, result.bytes);
    if (result.error) {
        result.bytes.clear();
        // Whatever is there and could not be read may still be the user's
        // reminders (a file another program holds, one without read rights):
        // a save must not destroy it. A folder of that name stays where it is.
        m_moveAside = result.error->kind != StoreErrorKind::IsFolder && exists(File::Settings);
        result.unreadableFileKept = m_moveAside;
    } else {
        m_known = result.bytes;
    }
    return result;
}

std::optional<StoreError> AtomicFileStore::replace(std::string_view bytes)
{
    m_keptOtherVersion = false;
    if (m_moveAside) {
        bool movedAside = false;
        const auto error = moveAsideAndReplace(bytes, movedAside);
        // Still there unmoved: the next save tries again.
        m_moveAside = error && !movedAside && exists(File::Settings);
        return error;
    }
    std::string current;
    const auto readError = readWhole(File::Settings, false, current);
    // Read here before, unreadable now (its rights taken away, grown too
    // large): another program made it so, and it is kept unread.
    if (readError && movedAsideUnread(readError->kind) && exists(File::Settings))
        return moveAsideAndReplace(bytes, m_keptOtherVersion);
    const bool fileThere = !readError;
    if (readError && readError->kind != StoreErrorKind::BadPath && m_keepCopy)
        return readError; // the copy asked for cannot be made
    if (fileThere && current == bytes) {
        m_known = std::move(current);
        m_keepCopy = false;
        return std::nullopt;
    }
    // Another program (or the user in an editor) changed the file since it
    // was read or written here: keep that version beside it, never destroy it.
    const bool changedElsewhere = fileThere && m_known && current != *m_known;
    if (fileThere && (m_keepCopy || changedElsewhere)) {
        if (const auto error = replaceWhole(File::Backup, File::BackupPending, current, {}))
            return error;
        m_keptOtherVersion = changedElsewhere;
    }
    return replaceSettingsFile(bytes);
}

std::optional<StoreError> AtomicFileStore::moveAsideAndReplace(std::string_view bytes, bool& movedAside)
{
    // A file that is gone meanwhile has nothing left to keep.
    const auto moveError = moveOver(File::Settings, File::Backup);
    if (moveError && exists(File::Settings))
        return moveError;
    movedAside = !moveError;
    m_keepCopy = false;
    return replaceSettingsFile(bytes);
}

std::optional<StoreError> AtomicFileStore::replaceSettingsFile(std::string_view bytes)
{
    if (auto error = replaceWhole(File::Settings, File::Pending, bytes, m_afterPendingWritten)) {
        error->settingsFileGone = !exists(File::Settings);
        return error;
    }
    m_known = std::string(bytes);
    m_keepCopy = false;
    return std::nullopt;
}

} // namespace tindora::settings
