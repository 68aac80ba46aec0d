#pragma once
// Where the settings file lives: time.txt in the current directory on the real
// file system, or in memory for tests. The store moves whole files as bytes;
// what the bytes mean is settings_file.h's business.

#include "text_codec.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tindora::settings {

// Why a file operation failed, sorted into what the user can act on.
enum class StoreErrorKind {
    PermissionDenied, // no right to read or write the file or its folder
    ReadOnlyDisk,     // the folder lies on a read-only disk
    DiskFull,         // no space (or quota) left
    IsFolder,         // a folder has the file's name
    BadPath,          // a part of the path is missing or not a folder
    InUse,            // another program holds the file
    ReadOnlyFile,     // the file itself is marked read-only
    NotAFile,         // a pipe, a device or anything else that is not a plain file
    TooLarge,         // larger than any settings file can be (kMaxSettingsFileBytes)
    Vanished,         // the file went away in the middle of the operation
    Other,
};

// The files a store works with, all in the settings file's folder.
enum class StoreFile {
    Settings,      // time.txt
    Pending,       // time.txt.new: a new content, written whole before it replaces time.txt
    Backup,        // time.txt.bak: the file as it was before a save replaced it
    BackupPending, // time.txt.bak.new
};

// The file name of each, as the user sees it in the folder: the one place the
// names are spelled.
constexpr std::string_view fileNameOf(StoreFile file)
{
    switch (file) {
    case StoreFile::Settings:
        return "time.txt";
    case StoreFile::Pending:
        return "time.txt.new";
    case StoreFile::Backup:
        return "time.txt.bak";
    case StoreFile::BackupPending:
        break;
    }
    return "time.txt.bak.new";
}

// The largest time.txt the program reads: 8 MiB. Every field the writer writes
// is a control's text, at most 32,767 characters (the edit controls' limit on
// both systems), each at most 4 bytes in GB18030: all fifteen fields full come
// to under 2 MB, three long notes to under 400 KB. Anything larger was not
// written by the program, and refusing it keeps a 32-bit process (2 GiB of
// address space, the file held two or three times over while it is decoded)
// far from running out of memory on a stray huge file.
inline constexpr std::size_t kMaxSettingsFileBytes = 8u << 20;

struct StoreError {
    StoreErrorKind kind = StoreErrorKind::Other;
    // errno on POSIX, GetLastError() on Windows: for the message and the record.
    int systemCode = 0;
    // The file the failing operation was about.
    StoreFile file = StoreFile::Settings;
    // A failed replace: time.txt was no longer there afterwards (its folder
    // was removed, say), so nothing of it was kept either.
    bool settingsFileGone = false;
};

struct StoreRead {
    std::string bytes;
    std::optional<StoreError> error;
    // With an error: time.txt exists but could not be read. It is kept: the
    // first replace() moves it aside to time.txt.bak before writing.
    bool unreadableFileKept = false;
};

// Failure contract: no call throws; each failure comes back as a StoreError and
// leaves the file as it was.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The file as the user should see it named: its full path where known.
    virtual std::string location() const = 0;
    // The encoding of the file's text.
    virtual const TextCodec& codec() const = 0;

    // The whole file. A missing file is created, empty, and reads as no bytes;
    // nothing is ever written into the file here. Only a plain file of at most
    // kMaxSettingsFileBytes is read, and reading never waits (a pipe or a
    // device of that name is refused, not opened for reading).
    virtual StoreRead readOrCreate() = 0;

    // Replaces the file's content with `bytes` in one step: after a failure, or
    // a crash at any moment, the file holds either the old or the new content
    // in full, never a part of either. A file marked read-only is not replaced
    // (ReadOnlyFile); a time.txt.new left behind by an earlier save is. A file
    // that already holds `bytes` is left as it is.
    virtual std::optional<StoreError> replace(std::string_view bytes) = 0;

    // After a successful replace(): the file had been changed by someone else
    // since this store last read or wrote it, and that version was kept as
    // time.txt.bak before it was replaced.
    virtual bool keptOtherVersion() const = 0;

    // Asks the next successful replace() to keep the file as it is now beside
    // it, as time.txt.bak, before replacing it. When that copy cannot be made
    // the replace fails and the file stays.
    virtual void keepCopyBeforeNextReplace() = 0;
};

} // namespace tindora::settings
