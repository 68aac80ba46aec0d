#include "time_zone_watcher.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <ctime>
#include <sys/stat.h>

namespace tindora::qt {
namespace {

// Zone files are a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxZoneFileBytes = 1 << 20;

// What the zone file shows, through any link. A missing or unreadable file
// shows nothing, which the C library takes for UTC: a change all the same.
QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kMaxZoneFileBytes);
}

} // namespace

TimeZoneWatcher::TimeZoneWatcher(std::function<void()> changed, const QString& zoneFile)
    : m_changed(std::move(changed)), m_zoneFile(zoneFile), m_folder(QFileInfo(zoneFile).absolutePath()),
      m_shown(contentsOf(zoneFile))
{
    // The folder: a link replaced by another (timedatectl renames a new link
    // over the old one) changes the folder, not the file the old link named.
    if (!m_watcher.addPath(m_folder)) {
        m_refusalTold = true;
        std::fprintf(stderr, "tindora: cannot watch %s; a new time zone is noticed within a minute\n",
                     qPrintable(m_folder));
    }
    // The file through the link: a zone file rewritten in place, or updated
    // by a new release of the zone data.
    followZoneFile();
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_watcher, [this] { check(); });
    QObject::connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_watcher, [this] { check(); });
}

bool TimeZoneWatcher::isWatching() const
{
    return m_watcher.directories().contains(m_folder) && m_watcher.files().contains(m_zoneFile);
}

void TimeZoneWatcher::followZoneFile()
{
    struct stat info {};
    std::optional<FileId> now;
    if (::stat(QFile::encodeName(m_zoneFile).constData(), &info) == 0)
        now = FileId{info.st_dev, info.st_ino};
    // Qt drops a file's watch when the file goes; otherwise the watch stays
    // on the file the old link named, which no longer matters.
    if (now == m_watched && m_watcher.files().contains(m_zoneFile))
        return;
    m_watcher.removePath(m_zoneFile);
    m_watched = now;
    // No zone file (yet): the folder's watch sees one come.
    if (!now || m_watcher.addPath(m_zoneFile))
        return;
    if (!m_refusalTold)
        std::fprintf(stderr, "tindora: cannot watch %s; a new time zone is noticed within a minute\n",
                     qPrintable(m_zoneFile));
    m_refusalTold = true;
}

void TimeZoneWatcher::check()
{
    followZoneFile();
    // The folder changes for many reasons, and a new link may name a zone
    // with the same rules: only other contents are a new zone.
    QByteArray shown = contentsOf(m_zoneFile);
    if (shown == m_shown)
        return;
    m_shown = std::move(shown);
    // glibc reads the zone file again on tzset() when it changed; Qt 6.4
    // calls it before each local-time conversion too, but nothing else in
    // the process need wait for that.
    ::tzset();
    m_changed();
}

} // namespace tindora::qt
