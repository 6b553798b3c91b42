#include "platform/bounded_download.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// Failures of the connection, a proxy or the protocol, as opposed to an answer with an error
// status, which still has a body.
bool isTransportFailure(QNetworkReply::NetworkError error) {
    const int code = int(error);
    return (code >= 1 && code < 200) || (code >= 300 && code < 400);
}

} // namespace

BoundedDownload::BoundedDownload(QNetworkAccessManager& network, int timeoutMs, qint64 maxBytes,
                                 QObject* parent)
    : QObject(parent)
    , m_network(network)
    , m_timeoutMs(timeoutMs)
    , m_maxBytes(maxBytes) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { abortWith(QStringLiteral("받는 데 너무 오래 걸립니다")); });
}

BoundedDownload::~BoundedDownload() {
    cancel();
}

std::optional<QString> BoundedDownload::refusedRedirect(const QUrl& from, const QUrl& to, int hop) {
    if (hop > kMaxRedirects)
        return QStringLiteral("리디렉션이 너무 많습니다");
    if (from.scheme() == u"https" && to.scheme() != u"https")
        return QStringLiteral("https에서 http로 넘기는 리디렉션은 따르지 않습니다");
    if (to.scheme() != u"https" && to.scheme() != u"http")
        return QStringLiteral("http 밖으로 넘기는 리디렉션은 따르지 않습니다");
    return std::nullopt;
}

void BoundedDownload::start(const QUrl& url, std::function<void(const Result&)> done) {
    cancel();
    m_done = std::move(done);
    m_body.clear();
    m_received = 0;
    m_redirects = 0;
    m_abortReason.clear();
    m_tooLarge = false;
    m_deadline.start(6 * m_timeoutMs);
    if (refusedAddress)
        if (const std::optional<QString> refused = refusedAddress(url)) {
            // Reported from the event loop, as every other outcome is.
            QMetaObject::invokeMethod(
                this,
                [this, why = *refused] {
                    complete({{}, why});
                },
                Qt::QueuedConnection);
            return;
        }
    get(url);
}

void BoundedDownload::cancel() {
    m_deadline.stop();
    m_done = nullptr;
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void BoundedDownload::get(const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(m_timeoutMs);
    // Redirects are followed here, one request each, so that each can be looked at. (Qt 6.4's
    // own user-verified policy sends the next request once per open connection.)
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    m_reply = m_network.get(request);
    QNetworkReply* reply = m_reply;
    if (onChunk)
        reply->setReadBufferSize(kStreamBuffer);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (const std::optional<QString> stop = take(reply))
            abortWith(*stop);
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (onProgress)
            onProgress(received, total);
    });
    connect(reply, &QNetworkReply::finished, this, &BoundedDownload::finished);
}

QString BoundedDownload::tooLargeMessage() const {
    return m_maxBytes >= 1024 * 1024
               ? QStringLiteral("너무 큽니다 (%1 MB 초과)").arg(m_maxBytes / (1024 * 1024))
               : QStringLiteral("너무 큽니다 (%1 바이트 초과)").arg(m_maxBytes);
}

std::optional<QString> BoundedDownload::take(QNetworkReply* reply) {
    // A redirect's own body is nobody's business.
    if (reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid()) {
        reply->readAll();
        return std::nullopt;
    }
    const QByteArray chunk = reply->read(m_maxBytes + 1 - m_received);
    m_received += chunk.size();
    if (m_received > m_maxBytes) {
        m_tooLarge = true;
        return tooLargeMessage();
    }
    if (!onChunk) {
        m_body += chunk;
        return std::nullopt;
    }
    QString error;
    if (!chunk.isEmpty() && !onChunk(chunk, &error))
        return error;
    return std::nullopt;
}

void BoundedDownload::abortWith(const QString& message) {
    if (!m_reply)
        return;
    m_abortReason = message;
    m_reply->abort();
}

void BoundedDownload::finished() {
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    if (!m_abortReason.isEmpty()) {
        complete({{}, m_abortReason, m_tooLarge});
        return;
    }
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        // Qt cancels a transfer whose server stays silent past the transfer timeout.
        complete({{}, QStringLiteral("서버가 응답하지 않습니다 (%1초)").arg(m_timeoutMs / 1000.0)});
        return;
    }
    if (isTransportFailure(reply->error())) {
        complete({{}, reply->errorString()});
        return;
    }
    const QVariant target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (target.isValid()) {
        const QUrl from = reply->url();
        const QUrl to = from.resolved(target.toUrl());
        std::optional<QString> refused = refusedRedirect(from, to, ++m_redirects);
        if (!refused && refusedAddress)
            refused = refusedAddress(to);
        if (refused) {
            complete({{}, *refused});
            return;
        }
        m_body.clear();
        m_received = 0;
        get(to);
        return;
    }
    if (const std::optional<QString> stop = take(reply)) {
        complete({{}, *stop, m_tooLarge});
        return;
    }
    complete({std::exchange(m_body, {}), QString()});
}

void BoundedDownload::complete(const Result& result) {
    m_deadline.stop();
    m_body.clear();
    m_tooLarge = false;
    if (auto done = std::exchange(m_done, nullptr))
        done(result);
}
