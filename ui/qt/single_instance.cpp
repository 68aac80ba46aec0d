#include "single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tindora::qt {
namespace {

// Where the lock and the socket live: the user's runtime folder, else a name
// of this user's own in the shared temporary folder.
QString baseName()
{
    const QString folder = QDir::current().canonicalPath();
    const QByteArray hash =
        QCryptographicHash::hash(QDir::toNativeSeparators(folder).toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/tindora-") + QString::fromLatin1(hash);
    return QDir::tempPath() + QStringLiteral("/tindora-") + QString::number(::getuid()) + QLatin1Char('-') +
           QString::fromLatin1(hash);
}

} // namespace

SingleInstance::SingleInstance()
{
    const QString base = baseName();
    m_socketPath = base + QStringLiteral(".socket");
    const QByteArray lockPath = QFile::encodeName(base + QStringLiteral(".lock"));
    // O_NOFOLLOW: in a shared temporary folder, never through a link someone
    // else put there.
    m_lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lockFd < 0) {
        std::fprintf(stderr, "tindora: cannot open the lock file %s (%s); not checking for another copy\n",
                     lockPath.constData(), std::strerror(errno));
        return;
    }
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            m_first = false;
            return;
        }
        std::fprintf(stderr, "tindora: cannot lock %s (%s); not checking for another copy\n", lockPath.constData(),
                     std::strerror(errno));
        return;
    }
    // The lock is ours, so a socket of this name is left from a copy that
    // crashed: take its place.
    QLocalServer::removeServer(m_socketPath);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_socketPath)) {
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
    // Closing the descriptor drops the lock; the file stays for the next start.
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void SingleInstance::onBringForward(std::function<void()> bringForward) { m_bringForward = std::move(bringForward); }

bool SingleInstance::bringFirstForward() const
{
    // The running copy may have taken the lock a moment ago and not be
    // listening yet: try for a few seconds.
    const QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
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
