// The time-zone watcher on a folder of the test's own, changed the ways a
// system's zone changes: the link replaced as timedatectl replaces it, a
// zone file copied over it, the file it names rewritten, the file removed and
// made again. Only other contents are a new zone, and each is noticed once.
#include "time_zone_watcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>
#include <vector>

using namespace tindora::qt;

class TimeZoneWatcherTest : public QObject {
    Q_OBJECT

private:
    static bool write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    }
    // As `timedatectl set-timezone` does it: a new link beside the old one,
    // renamed over it in one step.
    static bool replaceLink(const QString& link, const QString& target)
    {
        const QString fresh = link + QStringLiteral(".new");
        return QFile::link(target, fresh) && std::rename(qPrintable(fresh), qPrintable(link)) == 0;
    }
    static bool replaceByCopy(const QString& file, const QByteArray& bytes)
    {
        const QString fresh = file + QStringLiteral(".copy");
        return write(fresh, bytes) && std::rename(qPrintable(fresh), qPrintable(file)) == 0;
    }

private Q_SLOTS:
    void eachNewZoneIsNoticedOnceAndNothingElseIs()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString etc = root.filePath(QStringLiteral("etc"));
        const QString zones = root.filePath(QStringLiteral("zones"));
        QVERIFY(QDir().mkpath(etc) && QDir().mkpath(zones));
        const QString localtime = etc + QStringLiteral("/localtime");
        const auto zone = [&zones](const char* name) { return zones + QLatin1Char('/') + QLatin1String(name); };
        QVERIFY(write(zone("shanghai"), "TZif +8"));
        QVERIFY(write(zone("tokyo"), "TZif +9"));
        QVERIFY(write(zone("seoul"), "TZif +9")); // other name, same rules
        QVERIFY(QFile::link(zone("shanghai"), localtime));

        // What the zone file showed at each change the watcher reported.
        QList<QByteArray> noticed;
        TimeZoneWatcher watcher(
            [&] {
                QFile file(localtime);
                noticed.append(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)"));
            },
            localtime);
        QVERIFY(watcher.isWatching());

        // What happens, and the new zone it brings, if any. A step that must
        // go unnoticed is followed by one that is noticed: the kernel reports
        // in order, so a stray change would be in the list by then.
        struct Step {
            const char* what;
            std::function<bool()> act;
            QByteArray newZone;
        };
        const std::vector<Step> steps = {
            {"the link replaced", [&] { return replaceLink(localtime, zone("tokyo")); }, "TZif +9"},
            {"a link to the same rules", [&] { return replaceLink(localtime, zone("seoul")); }, {}},
            {"another file in the folder", [&] { return write(etc + QStringLiteral("/hostname"), "box"); }, {}},
            {"the file the old link named rewritten", [&] { return write(zone("tokyo"), "TZif +10"); }, {}},
            {"the file the link names now rewritten", [&] { return write(zone("seoul"), "TZif +5:45"); }, "TZif +5:45"},
            {"a zone file copied over the link", [&] { return replaceByCopy(localtime, "TZif -3"); }, "TZif -3"},
            {"that file rewritten", [&] { return write(localtime, "TZif +1"); }, "TZif +1"},
            {"the zone file removed", [&] { return QFile::remove(localtime); }, "(none)"},
            {"a link made again", [&] { return QFile::link(zone("shanghai"), localtime); }, "TZif +8"},
            {"and replaced again", [&] { return replaceLink(localtime, zone("tokyo")); }, "TZif +10"},
        };
        QList<QByteArray> expected;
        for (const Step& step : steps) {
            QVERIFY2(step.act(), step.what);
            if (step.newZone.isEmpty())
                continue;
            expected.append(step.newZone);
            QTRY_VERIFY2_WITH_TIMEOUT(noticed.size() >= expected.size(), step.what, 5000);
            QCOMPARE(noticed, expected);
        }
        QVERIFY(watcher.isWatching());
    }
};

QTEST_GUILESS_MAIN(TimeZoneWatcherTest)

#include "time_zone_watcher_test.moc"
