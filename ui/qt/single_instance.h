#pragma once
// One running copy per settings folder, as on Windows: a second start in the
// folder of a running copy (the same time.txt) asks that copy to bring its
// window forward and leaves, instead of announcing every reminder twice and
// racing its saves.

#include <QLocalServer>
#include <QString>

#include <functional>

namespace tindora::qt {

class SingleInstance {
public:
    // Claims the current folder for this process: an flock on the folder
    // itself, so that every copy started there meets it whatever its
    // environment (runtime folder, temporary folder, user), and no lock file
    // is ever left behind. The kernel drops the lock when the process ends,
    // however it ends. Needs the QApplication.
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy already runs in this folder. When the claim
    // cannot be made at all, the copy runs: better twice than not at all.
    bool isFirst() const { return m_first; }

    // The first copy: `bringForward` runs, on the event loop, each time a
    // later copy starts in the same folder.
    void onBringForward(std::function<void()> bringForward);

    // A later copy: asks the running one to bring its window forward. False
    // when it could not be reached within a few seconds.
    bool bringFirstForward() const;

    // The name of the socket a later copy reaches the first one through: in
    // Linux's abstract namespace (no file, gone with the process), named
    // after the folder's device and inode, so that any path to the folder
    // (a link, a bind mount) meets the same copy. Empty when the folder
    // cannot be read.
    static QString socketNameOf(const QString& folder);

private:
    int m_folderFd = -1;
    bool m_first = true;
    QString m_socketName;
    QLocalServer m_server;
    std::function<void()> m_bringForward;
};

} // namespace tindora::qt
