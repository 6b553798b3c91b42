#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
#include <QNetworkReply>

// One HTTP GET that a hostile or broken server cannot drag out: local caches bypassed, a body
// read only up to a limit, at most five redirects and never from https to http, a server that
// stays silent given up after the timeout and the whole transfer after six times that. The
// status is not examined: an error page is a body like any other.
class BoundedDownload : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxRedirects = 5;

    struct Result {
        QByteArray body;
        QString error; // empty when a body arrived
    };

    BoundedDownload(QNetworkAccessManager& network, int timeoutMs, qint64 maxBytes,
                    QObject* parent = nullptr);
    ~BoundedDownload() override;

    // Starts the download; `done` is called once, unless the download is cancelled first.
    void start(const QUrl& url, std::function<void(const Result&)> done);
    bool isRunning() const { return m_reply != nullptr; }
    // Stops a running download without calling `done`.
    void cancel();

    // Why the `hop`-th redirect from `from` to `to` is not followed; nothing when it is.
    static std::optional<QString> refusedRedirect(const QUrl& from, const QUrl& to, int hop);

    // Why an address (the first, or a redirect's target) is not fetched; nothing when it is.
    // Beyond the rules of refusedRedirect, which always hold. Unset: any address.
    std::function<std::optional<QString>(const QUrl& url)> refusedAddress;

    // Progress of the body: bytes so far and the announced total (-1 when unknown).
    std::function<void(qint64 received, qint64 total)> onProgress;

private:
    void get(const QUrl& url);
    void finished();
    void abortWith(const QString& message);
    void complete(const Result& result);

    QNetworkAccessManager& m_network;
    int m_timeoutMs;
    qint64 m_maxBytes;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    int m_redirects = 0;
    QString m_abortReason;
    QTimer m_deadline;
    std::function<void(const Result&)> m_done;
};
