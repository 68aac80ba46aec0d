#pragma once
// The part of the real settings store that is the same on every platform: when
// a copy of the old file is kept, and in what order the files are replaced.
// Each platform supplies the two file operations underneath.

#include "settings_store.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tindora::settings {

class AtomicFileStore : public SettingsStore {
public:
    explicit AtomicFileStore(std::function<void()> afterPendingWritten)
        : m_afterPendingWritten(std::move(afterPendingWritten)) {}

    const TextCodec& codec() const override;
    StoreRead readOrCreate() override;
    std::optional<StoreError> replace(std::string_view bytes) override;
    void keepCopyBeforeNextReplace() override { m_keepCopy = true; }

protected:
    // time.txt, time.txt.new, time.txt.bak and time.txt.bak.new.
    enum class File { Settings, Pending, Backup, BackupPending };

    // Reads the whole file; with createIfMissing a missing file is created
    // empty (and nothing else is ever written to it).
    virtual std::optional<StoreError> readWhole(File file, bool createIfMissing, std::string& bytes) = 0;
    // Writes `bytes` to `pending`, flushes it to the disk, runs beforeReplace
    // (when set) and moves it over `target` in one step.
    virtual std::optional<StoreError> replaceWhole(File target, File pending, std::string_view bytes,
                                                   const std::function<void()>& beforeReplace) = 0;

private:
    std::function<void()> m_afterPendingWritten;
    bool m_keepCopy = false;
};

} // namespace tindora::settings
