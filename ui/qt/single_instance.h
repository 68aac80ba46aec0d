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
    // Claims the current folder for this process: an flock on a lock file
    // named after the folder's canonical path, in the user's runtime folder.
    // The kernel drops the lock when the process ends, however it ends, so a
    // crashed copy never blocks the next start. Needs the QApplication.
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy already runs in this folder. When the claim
    // cannot be made at all (no lock file), the copy runs: better twice than
    // not at all.
    bool isFirst() const { return m_first; }

    // The first copy: `bringForward` runs, on the event loop, each time a
    // later copy starts in the same folder.
    void onBringForward(std::function<void()> bringForward);

    // A later copy: asks the running one to bring its window forward. False
    // when it could not be reached within a few seconds.
    bool bringFirstForward() const;

private:
    int m_lockFd = -1;
    bool m_first = true;
    QString m_socketPath;
    QLocalServer m_server;
    std::function<void()> m_bringForward;
};

} // namespace tindora::qt
