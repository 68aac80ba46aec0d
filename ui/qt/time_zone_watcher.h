#pragma once
// Notices a new time zone when it is chosen. On Linux the system's zone is
// what /etc/localtime shows: `timedatectl set-timezone` (and every desktop's
// settings through it) puts a new symbolic link in its place, an
// administrator may also copy a zone file over it. The kernel says nothing of
// either: the wake-up timer's cancel-on-set reacts to the clock being set,
// not to a new zone, and without this the change would wait for the next
// safety wake-up, up to a minute.

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QString>

#include <functional>
#include <optional>
#include <sys/types.h>

namespace tindora::qt {

class TimeZoneWatcher {
public:
    static constexpr const char* kSystemZoneFile = "/etc/localtime";

    // Calls `changed` from the event loop once the zone file shows other
    // contents, after the C library has read it again (Qt's local time
    // follows at once). A watch the system refuses (too many inotify
    // watches) is said once on stderr; the change is then noticed at the
    // next safety wake-up.
    explicit TimeZoneWatcher(std::function<void()> changed,
                             const QString& zoneFile = QString::fromLatin1(kSystemZoneFile));
    TimeZoneWatcher(const TimeZoneWatcher&) = delete;
    TimeZoneWatcher& operator=(const TimeZoneWatcher&) = delete;

    // Both watches are in place: the zone file's folder, and the file the
    // zone file names now.
    bool isWatching() const;

private:
    struct FileId {
        dev_t device;
        ino_t inode;
        friend bool operator==(const FileId&, const FileId&) = default;
    };
    void check();
    // Moves the file's watch to the file the link names now.
    void followZoneFile();

    std::function<void()> m_changed;
    QString m_zoneFile;
    QString m_folder;
    QFileSystemWatcher m_watcher;
    std::optional<FileId> m_watched;
    QByteArray m_shown;
    bool m_refusalTold = false;
};

} // namespace tindora::qt
