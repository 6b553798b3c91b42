#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QUrl>

// A small HTTP/1.1 server on 127.0.0.1 for tests that talk to a real server: each path answers
// as it was told to, or stays silent, or sends a body that never ends.
class HttpTestServer : public QObject {
    Q_OBJECT

public:
    struct Response {
        enum class Kind {
            answer,    // status, headers and body
            silent,    // accepts the connection and never answers
            endless,   // status 200 and a body that never ends
            large,     // status 200 and a declared body of `size` bytes, sent in pieces
            truncated, // status 200 declaring `size` bytes, then `body` and the connection closed
        };
        Kind kind = Kind::answer;
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        qint64 size = 0;
    };

    HttpTestServer();

    void route(const QString& path, Response response);
    // A redirect (302) from `path` to `target`.
    void redirect(const QString& path, const QUrl& target);
    QUrl url(const QString& path) const;
    // How many requests reached the path.
    int requests(const QString& path) const { return m_requests.value(path); }

private:
    void serve(QTcpSocket* socket, const QByteArray& head);

    QTcpServer m_server;
    QHash<QString, Response> m_routes;
    QHash<QString, int> m_requests;
};
