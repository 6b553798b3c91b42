#include "http_test_server.h"

#include <QTcpSocket>

namespace {

constexpr qint64 kPiece = 64 * 1024;

QByteArray statusLine(int status) {
    return "HTTP/1.1 " + QByteArray::number(status) + (status < 300 ? " OK" : " Other") + "\r\n";
}

} // namespace

HttpTestServer::HttpTestServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            // Requests are answered in turn as their heads arrive (bodies are not expected);
            // the connection stays open between them, as HTTP/1.1 clients expect.
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                QByteArray pending = socket->property("pending").toByteArray() + socket->readAll();
                qsizetype end;
                while ((end = pending.indexOf("\r\n\r\n")) >= 0 &&
                       !socket->property("busy").toBool()) {
                    const QByteArray head = pending.left(end);
                    pending.remove(0, end + 4);
                    serve(socket, head);
                }
                socket->setProperty("pending", pending);
            });
        }
    });
}

void HttpTestServer::route(const QString& path, Response response) {
    m_routes.insert(path, std::move(response));
}

void HttpTestServer::redirect(const QString& path, const QUrl& target) {
    Response response;
    response.status = 302;
    response.headers.append({"Location", target.toEncoded()});
    route(path, response);
}

QUrl HttpTestServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void HttpTestServer::serve(QTcpSocket* socket, const QByteArray& head) {
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    m_requests[path] += 1;
    const auto found = m_routes.constFind(path);
    if (found == m_routes.constEnd()) {
        socket->write(statusLine(404) + "Content-Length: 0\r\n\r\n");
        return;
    }
    const Response& response = *found;
    switch (response.kind) {
    case Response::Kind::silent:
        // Nothing more is answered on this connection.
        socket->setProperty("busy", true);
        return;
    case Response::Kind::answer: {
        QByteArray out = statusLine(response.status);
        for (const auto& [name, value] : response.headers)
            out += name + ": " + value + "\r\n";
        out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n\r\n" +
               response.body;
        socket->write(out);
        return;
    }
    case Response::Kind::truncated:
        socket->setProperty("busy", true);
        socket->write(statusLine(200) + "Content-Length: " + QByteArray::number(response.size) +
                      "\r\nConnection: close\r\n\r\n" + response.body);
        socket->disconnectFromHost();
        return;
    case Response::Kind::endless:
    case Response::Kind::large: {
        const bool endless = response.kind == Response::Kind::endless;
        socket->setProperty("busy", true);
        socket->write(statusLine(200) + "Content-Type: application/xml\r\n" +
                      (endless ? QByteArray()
                               : "Content-Length: " + QByteArray::number(response.size) + "\r\n") +
                      "Connection: close\r\n\r\n");
        auto left = std::make_shared<qint64>(endless ? -1 : response.size);
        const auto more = [socket, left] {
            if (*left == 0 || socket->bytesToWrite() > 4 * kPiece)
                return;
            const qint64 piece = *left < 0 ? kPiece : std::min(kPiece, *left);
            socket->write(QByteArray(piece, ' '));
            if (*left > 0)
                *left -= piece;
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
        return;
    }
    }
}
