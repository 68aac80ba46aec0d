#include "atomic_file_store.h"

namespace tindora::settings {

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
    }
    return result;
}

std::optional<StoreError> AtomicFileStore::replace(std::string_view bytes)
{
    if (m_moveAside) {
        // A file that is gone meanwhile has nothing left to keep.
        if (const auto error = moveOver(File::Settings, File::Backup); error && exists(File::Settings))
            return error;
        m_moveAside = false;
        m_keepCopy = false;
    } else if (m_keepCopy) {
        // Keep what the file holds now beside it before it goes.
        std::string old;
        if (const auto error = readWhole(File::Settings, false, old)) {
            if (error->kind != StoreErrorKind::BadPath)
                return error;
        } else if (const auto copyError = replaceWhole(File::Backup, File::BackupPending, old, {})) {
            return copyError;
        }
    }
    if (const auto error = replaceWhole(File::Settings, File::Pending, bytes, m_afterPendingWritten))
        return error;
    m_keepCopy = false;
    return std::nullopt;
}

} // namespace tindora::settings
