// time.txt on Windows, through the wide-character file API.
#include "atomic_file_store.h"
#include "file_settings_store.h"
#include "wide_text.h"

#include <windows.h>

#include <array>

namespace tindora::settings {
namespace {

// "Access denied" covers a folder of that name and a file another program
// holds open as well as a real lack of rights: tell them apart.
StoreErrorKind kindOfAccessDenied(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return StoreErrorKind::IsFolder;
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY)) {
        HANDLE probe = CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe != INVALID_HANDLE_VALUE)
            CloseHandle(probe);
        else if (GetLastError() == ERROR_SHARING_VIOLATION)
            return StoreErrorKind::InUse;
    }
    return StoreErrorKind::PermissionDenied;
}

StoreError errorFromLastError(DWORD code, const wchar_t* path, StoreFile file)
{
    StoreErrorKind kind = StoreErrorKind::Other;
    switch (code) {
    case ERROR_ACCESS_DENIED:
        kind = kindOfAccessDenied(path);
        break;
    case ERROR_WRITE_PROTECT:
        kind = StoreErrorKind::ReadOnlyDisk;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        kind = StoreErrorKind::DiskFull;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        kind = StoreErrorKind::InUse;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
        kind = StoreErrorKind::BadPath;
        break;
    default:
        break;
    }
    return {kind, static_cast<int>(code), file};
}

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle()
    {
        if (valid())
            CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close()
    {
        const BOOL ok = CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE m_handle;
};

std::optional<StoreError> readWholeFile(const wchar_t* path, StoreFile name, DWORD disposition, std::string& bytes)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return StoreError{StoreErrorKind::IsFolder, ERROR_DIRECTORY, name};
    // Share everything: another program reading or even replacing the file at
    // this moment must not make start-up fail.
    Handle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return errorFromLastError(GetLastError(), path, name);
    // A pipe or a device answers to a file name too; only a disk file is read.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return StoreError{StoreErrorKind::NotAFile, 0, name};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return errorFromLastError(GetLastError(), path, name);
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxSettingsFileBytes)
        return StoreError{StoreErrorKind::TooLarge, ERROR_FILE_TOO_LARGE, name};
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return errorFromLastError(GetLastError(), path, name);
        if (got == 0)
            return std::nullopt;
        bytes.append(buffer, got);
        // A file that grows while it is read stops here all the same.
        if (bytes.size() > kMaxSettingsFileBytes) {
            bytes.clear();
            return StoreError{StoreErrorKind::TooLarge, ERROR_FILE_TOO_LARGE, name};
        }
    }
}

// Writes a fresh `pending` file, flushes it, and moves it over `target` in one
// step with write-through: the target holds the old or the new bytes, never a part.
std::optional<StoreError> replaceWholeFile(const wchar_t* target, StoreFile targetName, const wchar_t* pending,
                                           StoreFile pendingName, std::string_view bytes,
                                           const std::function<void()>& beforeMove)
{
    // Windows refuses to replace a file the user made read-only; Wine does
    // not, so ask first and behave the same on both.
    const DWORD attributes = GetFileAttributesW(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (attributes & FILE_ATTRIBUTE_READONLY))
        return StoreError{StoreErrorKind::ReadOnlyFile, ERROR_ACCESS_DENIED, targetName};
    // A pending file that a stopped save left behind goes first, even one
    // marked read-only; a folder of that name stays, and says so.
    const DWORD pendingAttributes = GetFileAttributesW(pending);
    if (pendingAttributes != INVALID_FILE_ATTRIBUTES) {
        if (pendingAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return StoreError{StoreErrorKind::IsFolder, ERROR_DIRECTORY, pendingName};
        SetFileAttributesW(pending, FILE_ATTRIBUTE_NORMAL); // a failure shows in DeleteFileW
        if (!DeleteFileW(pending) && GetLastError() != ERROR_FILE_NOT_FOUND)
            return errorFromLastError(GetLastError(), pending, pendingName);
    }
    Handle file(CreateFileW(pending, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return errorFromLastError(GetLastError(), pending, pendingName);
    auto fail = [&](DWORD code, const wchar_t* path, StoreFile name) {
        if (file.valid())
            file.close();
        DeleteFileW(pending);
        return errorFromLastError(code, path, name);
    };
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        return fail(GetLastError(), pending, pendingName);
    if (!FlushFileBuffers(file.get()))
        return fail(GetLastError(), pending, pendingName);
    if (!file.close())
        return fail(GetLastError(), pending, pendingName);
    if (beforeMove)
        beforeMove();
    if (!MoveFileExW(pending, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        // The pending file was written a moment ago: something else took it.
        if (code == ERROR_FILE_NOT_FOUND)
            return StoreError{StoreErrorKind::Vanished, static_cast<int>(code), pendingName};
        return fail(code, target, targetName);
    }
    return std::nullopt;
}

class Win32SettingsStore : public AtomicFileStore {
public:
    using AtomicFileStore::AtomicFileStore;

    std::string location() const override
    {
        const wchar_t* name = nameOf(File::Settings);
        const DWORD length = GetFullPathNameW(name, 0, nullptr, nullptr);
        if (length == 0)
            return std::string(fileNameOf(File::Settings));
        std::wstring path(length, L'\0');
        const DWORD written = GetFullPathNameW(name, length, path.data(), nullptr);
        path.resize(written);
        return win32::toUtf8(path);
    }

    const TextCodec& codec() const override { return settingsFileCodec(); }

protected:
    bool exists(File file) override { return GetFileAttributesW(nameOf(file)) != INVALID_FILE_ATTRIBUTES; }

    std::optional<StoreError> readWhole(File file, bool createIfMissing, std::string& bytes) override
    {
        return readWholeFile(nameOf(file), file, createIfMissing ? OPEN_ALWAYS : OPEN_EXISTING, bytes);
    }

    std::optional<StoreError> moveOver(File from, File to) override
    {
        // Needs only the right to delete the file, not to read it; fails while
        // another program holds the file without sharing its deletion.
        if (!MoveFileExW(nameOf(from), nameOf(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return errorFromLastError(GetLastError(), nameOf(to), to);
        return std::nullopt;
    }

    std::optional<StoreError> replaceWhole(File target, File pending, std::string_view bytes,
                                           const std::function<void()>& beforeReplace) override
    {
        return replaceWholeFile(nameOf(target), target, nameOf(pending), pending, bytes, beforeReplace);
    }

private:
    static const wchar_t* nameOf(File file)
    {
        // The names are ASCII: each byte widens to the same character.
        static const std::array<std::wstring, 4> names = [] {
            std::array<std::wstring, 4> wide;
            for (const File each : {File::Settings, File::Pending, File::Backup, File::BackupPending}) {
                const std::string_view name = fileNameOf(each);
                wide[static_cast<std::size_t>(each)] = std::wstring(name.begin(), name.end());
            }
            return wide;
        }();
        return names[static_cast<std::size_t>(file)].c_str();
    }
};

} // namespace

std::unique_ptr<SettingsStore> makeFileSettingsStore() { return makeFileSettingsStore({}); }

std::unique_ptr<SettingsStore> makeFileSettingsStore(std::function<void()> afterPendingWritten)
{
    return std::make_unique<Win32SettingsStore>(std::move(afterPendingWritten));
}

} // namespace tindora::settings
