#include "app/single_instance.h"

#include "platform/log.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a later launch keeps trying while the first one is still starting up, and how
// long it asks when the lock is older than a start-up takes.
constexpr int kConnectPatienceMs = 3000;
constexpr int kOldLockPatienceMs = 600;
constexpr int kFreshLockSeconds = 10;

// Which file a path names and when it was last written: a lock file replaced by another
// launch differs in one or the other.
struct FileIdentity {
    dev_t device;
    ino_t inode;
    std::int64_t modifiedNs;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

std::optional<FileIdentity> identityOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino,
                        std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

// One launch at a time past this point. An flock is released by the kernel when its holder
// ends, so, unlike a lock file, it can never be left behind.
class TakeoverTurn {
public:
    explicit TakeoverTurn(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~TakeoverTurn() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TakeoverTurn(const TakeoverTurn&) = delete;
    TakeoverTurn& operator=(const TakeoverTurn&) = delete;

private:
    int m_fd;
};

} // namespace

SingleInstance::SingleInstance(const QString& runtimeDirectory, QObject* parent)
    : QObject(parent)
    , m_socketPath(QDir(runtimeDirectory).filePath(QStringLiteral("purrtick.socket")))
    , m_lock(QDir(runtimeDirectory).filePath(QStringLiteral("purrtick.lock"))) {
    // Only a lock whose process has died is stale, however old it is.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (m_server)
        m_server->close();
}

bool SingleInstance::claim(const QByteArray& request) {
    // Two rounds: a lock that nobody answers for is taken over, and if another launch took it
    // over first, that one is asked instead.
    bool lockable = true;
    for (int round = 0; round < 2 && lockable; ++round) {
        if (m_lock.tryLock(0)) {
            listen();
            return true;
        }
        if (m_lock.error() != QLockFile::LockFailedError || QFileInfo(m_lock.fileName()).isDir()) {
            lockable = false; // the runtime folder cannot hold a lock file
            break;
        }
        const std::optional<FileIdentity> seen = identityOf(m_lock.fileName());
        if (askRunningInstance(request, patienceFor(QFileInfo(m_lock.fileName()))))
            return false;
        // Held, but no living instance answers: an empty or damaged lock, one written under
        // another host name, or one whose process id was reused. It is removed only if it is
        // still the file found before asking, so a lock another launch has just taken over
        // stays; launches doing this at the same moment take turns.
        const TakeoverTurn turn(m_lock.fileName() + QStringLiteral(".takeover"));
        if (seen && identityOf(m_lock.fileName()) == seen) {
            qCWarning(lcPurrtick, "응답 없는 실행 잠금을 넘겨받습니다: %s",
                      qPrintable(m_lock.fileName()));
            // Something that cannot be removed (a folder in its place) can never be a lock.
            lockable = QFile::remove(m_lock.fileName());
        }
    }
    if (!lockable) {
        // Better a program that might run twice than one that never starts.
        qCWarning(lcPurrtick, "실행 잠금을 쓸 수 없어 중복 실행 방지 없이 실행합니다: %s",
                  qPrintable(m_lock.fileName()));
        listen();
        return true;
    }
    qCWarning(lcPurrtick, "실행 중인 Purrtick에 연결하지 못했습니다: %s", qPrintable(m_socketPath));
    return false;
}

int SingleInstance::patienceFor(const QFileInfo& lock) {
    // A fresh lock may belong to an instance that is still starting up and not listening yet;
    // an old one would have answered at once.
    const QDateTime written = lock.lastModified();
    const bool fresh =
        !written.isValid() || written.secsTo(QDateTime::currentDateTime()) < kFreshLockSeconds;
    return fresh ? kConnectPatienceMs : kOldLockPatienceMs;
}

bool SingleInstance::askRunningInstance(const QByteArray& request, int patienceMs) {
    const QDeadlineTimer deadline(patienceMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(500)) {
            socket.write(request);
            socket.waitForBytesWritten(500);
            socket.disconnectFromServer();
            return true;
        }
        // The running instance holds the lock but is not listening yet.
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::listen() {
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a crashed instance would make listen() fail; the lock proves that
    // nobody serves it any more.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        qCWarning(lcPurrtick, "단일 실행 소켓을 열지 못했습니다: %s",
                  qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::accept);
}

int SingleInstance::openConnections() const {
    if (!m_server)
        return 0;
    const QList<QLocalSocket*> sockets = m_server->findChildren<QLocalSocket*>();
    return int(std::count_if(sockets.begin(), sockets.end(), [](const QLocalSocket* socket) {
        return socket->state() == QLocalSocket::ConnectedState;
    }));
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A launch connects, sends its line and leaves; anything else must not pile up here.
        if (openConnections() > kMaxConnections) {
            socket->abort();
            continue;
        }
        // The socket reads no more than a request: the sender waits for the rest.
        socket->setReadBufferSize(kMaxRequestBytes);
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, &QLocalSocket::abort);
        idle->start(kIdleMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // One short line per connection, then the connection ends.
            if (!socket->canReadLine() && socket->bytesAvailable() < kMaxRequestBytes)
                return;
            const QByteArray line = socket->readLine(kMaxRequestBytes + 1);
            socket->abort();
            if (line.endsWith('\n') && onRequest)
                onRequest(line);
        });
    }
}
