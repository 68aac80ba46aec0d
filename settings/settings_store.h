#pragma once
// Where the settings file lives: time.txt in the current directory on the real
// file system, or in memory for tests. The store moves whole files as bytes;
// what the bytes mean is settings_file.h's business.

#include "text_codec.h"

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
    Other,
};

struct StoreError {
    StoreErrorKind kind = StoreErrorKind::Other;
    // errno on POSIX, GetLastError() on Windows: for the message and the record.
    int systemCode = 0;
};

struct StoreRead {
    std::string bytes;
    std::optional<StoreError> error;
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
    // nothing is ever written into the file here.
    virtual StoreRead readOrCreate() = 0;

    // Replaces the file's content with `bytes` in one step: after a failure, or
    // a crash at any moment, the file holds either the old or the new content
    // in full, never a part of either.
    virtual std::optional<StoreError> replace(std::string_view bytes) = 0;

    // Asks the next successful replace() to keep the file as it is now beside
    // it, as time.txt.bak, before replacing it. When that copy cannot be made
    // the replace fails and the file stays.
    virtual void keepCopyBeforeNextReplace() = 0;
};

} // namespace tindora::settings
