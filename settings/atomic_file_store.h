#pragma once
// The part of the real settings store that is the same on every platform: when
// a copy of the old file is kept or an unreadable file moved aside, and in what
// order the files are replaced. Each platform supplies the file operations
// underneath.

#include "settings_store.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tindora::settings {

class AtomicFileStore : public SettingsStore {
public:
    explicit AtomicFileStore(std::function<void()> afterPendingWritten)
        : m_afterPendingWritten(std::move(afterPendingWritten))
    {
    }

    StoreRead readOrCreate() override;
    std::optional<StoreError> replace(std::string_view bytes) override;
    void keepCopyBeforeNextReplace() override { m_keepCopy = true; }
    bool keptOtherVersion() const override { return m_keptOtherVersion; }

protected:
    using File = StoreFile;

    // Whether anything (a file, a folder, a link, a pipe) has the file's name.
    virtual bool exists(File file) = 0;
    // Reads the whole file, which must be a plain file of at most
    // kMaxSettingsFileBytes, without ever waiting; with createIfMissing a
    // missing file is created empty (and nothing else is ever written to it).
    virtual std::optional<StoreError> readWhole(File file, bool createIfMissing, std::string& bytes) = 0;
    // Renames `from` to `to` in one step, replacing a file named `to`. Needs no
    // right to read `from`. Errors name `to`.
    virtual std::optional<StoreError> moveOver(File from, File to) = 0;
    // Refuses a `target` marked read-only, removes any `pending` left behind,
    // writes `bytes` to a fresh `pending`, flushes it to the disk, runs
    // beforeReplace (when set) and moves it over `target` in one step.
    virtual std::optional<StoreError> replaceWhole(File target, File pending, std::string_view bytes,
                                                   const std::function<void()>& beforeReplace) = 0;

private:
    std::function<void()> m_afterPendingWritten;
    bool m_keepCopy = false;
    // time.txt is there but could not be read: move it aside, unread.
    bool m_moveAside = false;
    // What time.txt held when this store last read or wrote it.
    std::optional<std::string> m_known;
    bool m_keptOtherVersion = false;

    // Moves the settings file, unread, over the backup (`movedAside` says
    // whether it was still there to move), then writes it anew.
    std::optional<StoreError> moveAsideAndReplace(std::string_view bytes, bool& movedAside);
    std::optional<StoreError> replaceSettingsFile(std::string_view bytes);
};

} // namespace tindora::settings
