// time.txt on a POSIX file system.
#include "atomic_file_store.h"
#include "file_settings_store.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace tindora::settings {
namespace {

StoreError errorFromErrno(int code)
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
    default:
        break;
    }
    return {kind, code};
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

std::optional<StoreError> readWholeFile(const char* path, int flags, std::string& bytes)
{
    Fd fd(::open(path, flags | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return errorFromErrno(errno);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0)
            return std::nullopt;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errorFromErrno(errno);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

// Writes `bytes` to a fresh `pending` file and flushes it to the disk, then
// moves it over `target` in one rename: readers see the old file or the new
// one, never a part.
std::optional<StoreError> replaceWholeFile(const char* target, const char* pending, std::string_view bytes,
                                       const std::function<void()>& beforeRename)
{
    Fd fd(::open(pending, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return errorFromErrno(errno);
    auto fail = [&](int code) {
        ::unlink(pending);
        return errorFromErrno(code);
    };
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    // Without this a crash soon after the rename can leave an empty file on
    // file systems that order metadata before data. fdatasync flushes the data
    // and the size, all the rename needs, at a fraction of fsync's cost.
    if (::fdatasync(fd.get()) != 0)
        return fail(errno);
    // Don't retry close on EINTR: the descriptor is gone either way.
    if (fd.close() != 0 && errno != EINTR)
        return fail(errno);
    if (beforeRename)
        beforeRename();
    if (::rename(pending, target) != 0)
        return fail(errno);
    // No fsync of the folder: without it a crash can at worst bring back the
    // previous file, which is whole; it would double the cost of every save.
    return std::nullopt;
}

class PosixSettingsStore : public AtomicFileStore {
public:
    using AtomicFileStore::AtomicFileStore;

    std::string location() const override
    {
        char folder[PATH_MAX];
        if (!::getcwd(folder, sizeof folder))
            return std::string(kSettingsFileName);
        std::string path = folder;
        if (path.empty() || path.back() != '/')
            path += '/';
        return path + std::string(kSettingsFileName);
    }

protected:
    std::optional<StoreError> readWhole(File file, bool createIfMissing, std::string& bytes) override
    {
        // Read-only even when creating: a file the user made read-only can
        // still be read.
        return readWholeFile(nameOf(file), createIfMissing ? O_RDONLY | O_CREAT : O_RDONLY, bytes);
    }

    std::optional<StoreError> replaceWhole(File target, File pending, std::string_view bytes,
                                           const std::function<void()>& beforeReplace) override
    {
        return replaceWholeFile(nameOf(target), nameOf(pending), bytes, beforeReplace);
    }

private:
    static const char* nameOf(File file)
    {
        switch (file) {
        case File::Settings:
            return "time.txt";
        case File::Pending:
            return "time.txt.new";
        case File::Backup:
            return "time.txt.bak";
        case File::BackupPending:
            break;
        }
        return "time.txt.bak.new";
    }
};

} // namespace

std::unique_ptr<SettingsStore> makeFileSettingsStore() { return makeFileSettingsStore({}); }

std::unique_ptr<SettingsStore> makeFileSettingsStore(std::function<void()> afterPendingWritten)
{
    return std::make_unique<PosixSettingsStore>(std::move(afterPendingWritten));
}

} // namespace tindora::settings
