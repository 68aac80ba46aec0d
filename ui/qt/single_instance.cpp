#include "single_instance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tindora::qt {

QString SingleInstance::socketNameOf(const QString& folder)
{
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return {};
    return QStringLiteral("tindora-%1-%2")
        .arg(static_cast<qulonglong>(info.st_dev), 0, 16)
        .arg(static_cast<qulonglong>(info.st_ino), 0, 16);
}

SingleInstance::SingleInstance()
{
    m_socketName = socketNameOf(QStringLiteral("."));
    // The folder itself holds the lock: a directory opens read-only, so this
    // works in a folder the user cannot write to as well.
    m_folderFd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0) {
        std::fprintf(stderr, "tindora: cannot open the current folder (%s); not checking for another copy\n",
                     std::strerror(errno));
        return;
    }
    if (::flock(m_folderFd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            m_first = false;
            return;
        }
        // Some network file systems lock no folders.
        std::fprintf(stderr, "tindora: cannot lock the current folder (%s); not checking for another copy\n",
                     std::strerror(errno));
        return;
    }
    // Anyone on this machine could take an abstract name first. The lock
    // above, not this name, decides which copy runs: a stranger holding the
    // name can only keep a second start from bringing our window forward.
    m_server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (m_socketName.isEmpty() || !m_server.listen(m_socketName)) {
        std::fprintf(stderr, "tindora: a second start cannot reach this copy: %s\n",
                     qPrintable(m_server.errorString()));
        return;
    }
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            socket->disconnectFromServer();
            socket->deleteLater();
            if (m_bringForward)
                m_bringForward();
        }
    });
}

SingleInstance::~SingleInstance()
{
    m_server.close();
    // Closing the descriptor drops the lock.
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

void SingleInstance::onBringForward(std::function<void()> bringForward) { m_bringForward = std::move(bringForward); }

bool SingleInstance::bringFirstForward() const
{
    // The running copy may have taken the lock a moment ago and not be
    // listening yet: try for a few seconds.
    const QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired() && !m_socketName.isEmpty()) {
        QLocalSocket socket;
        socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        socket.connectToServer(m_socketName);
        if (socket.waitForConnected(500)) {
            socket.write("bring forward\n");
            socket.waitForBytesWritten(500);
            socket.disconnectFromServer();
            return true;
        }
        QThread::msleep(100);
    }
    std::fprintf(stderr, "tindora: another copy runs in this folder but does not answer\n");
    return false;
}

} // namespace tindora::qt
