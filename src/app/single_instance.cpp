#include "app/single_instance.h"

#include "platform/log.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
// How long a later launch keeps trying while the first one is still starting up.
constexpr int kConnectPatienceMs = 3000;

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

bool SingleInstance::claim() {
    if (m_lock.tryLock(0)) {
        listen();
        return true;
    }
    if (!askRunningInstance())
        qCWarning(lcPurrtick, "실행 중인 Purrtick에 연결하지 못했습니다: %s",
                  qPrintable(m_socketPath));
    return false;
}

bool SingleInstance::askRunningInstance() {
    const QDeadlineTimer deadline(kConnectPatienceMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(500)) {
            socket.write(kShowRequest);
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
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                // Any line is a request to show; only the first few bytes are ever read.
                const QByteArray line = socket->readLine(64);
                if (line == kShowRequest && onActivationRequested)
                    onActivationRequested();
            });
        }
    });
}
