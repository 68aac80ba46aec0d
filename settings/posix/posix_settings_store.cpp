// time.txt on a POSIX file system.
#include "atomic_file_store.h"
#include "file_settings_store.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tindora::settings {
namespace {

StoreError errorFromErrno(int code, StoreFile file)
{
    StoreErrorKind kind = StoreErrorKind::Other;
    switch (code) {
    case EACCES:
    case EPERM:
        kind = StoreErrorKind::PermissionDenied;
        break;
    case EROFS:
        kind = StoreErrorKind::ReadOnlyDisk;
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        kind = StoreErrorKind::DiskFull;
        break;
    case EISDIR:
        kind = StoreErrorKind::IsFolder;
        break;
    case ENOENT:
    case ENOTDIR:
        kind = StoreErrorKind::BadPath;
        break;
    case ETXTBSY:
    case EBUSY:
        kind = StoreErrorKind::InUse;
        break;
    case ENXIO:
    case ENODEV:
        kind = StoreErrorKind::NotAFile;
        break;
    default:
        break;
    }
    return {kind, code, file};
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now, for callers that must see close's error.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

// What stat says about a file that must be a plain settings file.
std::optional<StoreError> checkPlainFile(const struct stat& status, StoreFile file)
{
    if (S_ISDIR(status.st_mode))
        return StoreError{StoreErrorKind::IsFolder, EISDIR, file};
    if (!S_ISREG(status.st_mode))
        return StoreError{StoreErrorKind::NotAFile, 0, file};
    if (static_cast<std::uintmax_t>(status.st_size) > kMaxSettingsFileBytes)
        return StoreError{StoreErrorKind::TooLarge, EFBIG, file};
    return std::nullopt;
}

std::optional<StoreError> readWholeFile(const char* path, StoreFile file, bool createIfMissing, std::string& bytes)
{
    // Look before opening: opening a pipe for reading waits for a writer, and
    // opening a device can have effects of its own.
    struct stat status {};
    if (::stat(path, &status) == 0) {
        if (const auto error = checkPlainFile(status, file))
            return error;
    } else if (errno != ENOENT || !createIfMissing) {
        return errorFromErrno(errno, file);
    }
    // Read-only even when creating: a file the user made read-only can still
    // be read. O_NONBLOCK: should the name have become a pipe since the look,
    // the open returns at once instead of waiting; a plain file ignores it.
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (createIfMissing ? O_CREAT : 0);
    Fd fd(::open(path, flags, 0666));
    if (fd.get() < 0)
        return errorFromErrno(errno, file);
    if (::fstat(fd.get(), &status) != 0)
        return errorFromErrno(errno, file);
    if (const auto error = checkPlainFile(status, file))
        return error;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0)
            return std::nullopt;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errorFromErrno(errno, file);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        // A file that grows while it is read stops here all the same.
        if (bytes.size() > kMaxSettingsFileBytes) {
            bytes.clear();
            return StoreError{StoreErrorKind::TooLarge, EFBIG, file};
        }
    }
}

// Refuses to replace a file that the user has marked read-only (no write bit
// for anyone, as the read-only attribute on Windows, which binds even an
// administrator) or that this user may not write.
std::optional<StoreError> checkWritable(const char* path, StoreFile file)
{
    struct stat status {};
    if (::lstat(path, &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return StoreError{StoreErrorKind::ReadOnlyFile, EACCES, file};
    if (::access(path, W_OK) != 0 && errno == EACCES)
        return StoreError{StoreErrorKind::PermissionDenied, EACCES, file};
    return std::nullopt;
}

// Writes `bytes` to a fresh `pending` file and flushes it to the disk, then
// moves it over `target` in one rename: readers see the old file or the new
// one, never a part.
std::optional<StoreError> replaceWholeFile(const char* target, StoreFile targetFile, const char* pending,
                                           StoreFile pendingFile, std::string_view bytes,
                                           const std::function<void()>& beforeRename)
{
    if (const auto error = checkWritable(target, targetFile))
        return error;
    // A pending file that a killed save left behind goes first: it may be
    // read-only, a link (writing would go through it) or a pipe (opening would
    // wait). A folder of that name stays, and says so (EISDIR).
    if (::unlink(pending) != 0 && errno != ENOENT)
        return errorFromErrno(errno, pendingFile);
    Fd fd(::open(pending, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return errorFromErrno(errno, pendingFile);
    auto fail = [&](int code, StoreFile file) {
        ::unlink(pending);
        return errorFromErrno(code, file);
    };
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno, pendingFile);
        }
        written += static_cast<std::size_t>(n);
    }
    // Without this a crash soon after the rename can leave an empty file on
    // file systems that order metadata before data. fdatasync flushes the data
    // and the size, all the rename needs, at a fraction of fsync's cost.
    if (::fdatasync(fd.get()) != 0)
        return fail(errno, pendingFile);
    // Don't retry close on EINTR: the descriptor is gone either way.
    if (fd.close() != 0 && errno != EINTR)
        return fail(errno, pendingFile);
    if (beforeRename)
        beforeRename();
    if (::rename(pending, target) != 0) {
        // The folder was there a moment ago, when the pending file was made:
        // something else has taken that file away (another copy's save).
        if (errno == ENOENT)
            return StoreError{StoreErrorKind::Vanished, ENOENT, pendingFile};
        return fail(errno, targetFile);
    }
    // No fsync of the folder: without it a crash can at worst bring back the
    // previous file, which is whole; it would double the cost of every save.
    return std::nullopt;
}

// The full path of time.txt in the current folder; the bare name when the
// folder cannot be named (it was removed, or a part of it may not be read).
std::string settingsPathHere()
{
    char folder[PATH_MAX];
    if (!::getcwd(folder, sizeof folder))
        return std::string(fileNameOf(StoreFile::Settings));
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + std::string(fileNameOf(StoreFile::Settings));
}

class PosixSettingsStore : public AtomicFileStore {
public:
    explicit PosixSettingsStore(std::function<void()> afterPendingWritten)
        : AtomicFileStore(std::move(afterPendingWritten)), m_location(settingsPathHere())
    {
    }

    // Named once, at start: a folder removed later can no longer be named,
    // and a message about it must still say which one it was.
    std::string location() const override { return m_location; }
    const TextCodec& codec() const override { return settingsFileCodec(); }

protected:
    bool exists(File file) override
    {
        struct stat status {};
        return ::lstat(nameOf(file), &status) == 0;
    }

    std::optional<StoreError> readWhole(File file, bool createIfMissing, std::string& bytes) override
    {
        return readWholeFile(nameOf(file), file, createIfMissing, bytes);
    }

    std::optional<StoreError> moveOver(File from, File to) override
    {
        if (::rename(nameOf(from), nameOf(to)) != 0)
            return errorFromErrno(errno, to);
        return std::nullopt;
    }

    std::optional<StoreError> replaceWhole(File target, File pending, std::string_view bytes,
                                           const std::function<void()>& beforeReplace) override
    {
        return replaceWholeFile(nameOf(target), target, nameOf(pending), pending, bytes, beforeReplace);
    }

private:
    static const char* nameOf(File file) { return fileNameOf(file).data(); }

    std::string m_location;
};

} // namespace

std::unique_ptr<SettingsStore> makeFileSettingsStore() { return makeFileSettingsStore({}); }

std::unique_ptr<SettingsStore> makeFileSettingsStore(std::function<void()> afterPendingWritten)
{
    return std::make_unique<PosixSettingsStore>(std::move(afterPendingWritten));
}

} // namespace tindora::settings
