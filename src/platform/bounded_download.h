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
    // What the network layer may hold unread while the body is handed over in pieces.
    static constexpr qint64 kStreamBuffer = 1024 * 1024;

    struct Result {
        QByteArray body;       // empty when the body went to `onChunk`
        QString error;         // empty when a body arrived
        bool tooLarge = false; // the body passed the limit
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

    // The limit on the body for the next start.
    void setMaxBytes(qint64 maxBytes) { m_maxBytes = maxBytes; }

    // When set, the body is handed over in pieces as it arrives instead of being collected
    // (the network layer then buffers a megabyte at most); false, with the reason, stops the
    // download with that reason. Bodies of redirects are not handed over.
    std::function<bool(const QByteArray& chunk, QString* error)> onChunk;

    // Progress of the body: bytes so far and the announced total (-1 when unknown).
    std::function<void(qint64 received, qint64 total)> onProgress;

private:
    void get(const QUrl& url);
    void finished();
    void abortWith(const QString& message);
    QString tooLargeMessage() const;
    void complete(const Result& result);
    // Takes what the reply has (up to the limit) into the body or `onChunk`; the reason when
    // the download must stop for it.
    std::optional<QString> take(QNetworkReply* reply);

    QNetworkAccessManager& m_network;
    int m_timeoutMs;
    qint64 m_maxBytes;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    qint64 m_received = 0;
    int m_redirects = 0;
    QString m_abortReason;
    bool m_tooLarge = false;
    QTimer m_deadline;
    std::function<void(const Result&)> m_done;
};
