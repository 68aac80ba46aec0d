#include "atomic_file_store.h"

#include "text_codec.h"

namespace tindora::settings {

const TextCodec& AtomicFileStore::codec() const { return settingsFileCodec(); }

StoreRead AtomicFileStore::readOrCreate()
{
    StoreRead result;
    result.error = readWhole(File::Settings, true, result.bytes);
    if (result.error)
        result.bytes.clear();
    return result;
}

std::optional<StoreError> AtomicFileStore::replace(std::string_view bytes)
{
    if (m_keepCopy) {
        // Keep what the file holds now beside it before it goes; a file that
        // is gone meanwhile has nothing left to keep.
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
