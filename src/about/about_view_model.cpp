#include "about/about_view_model.h"

#include "about/appcast.h"
#include "about/information_dictionary.h"

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

AboutViewModel::AboutViewModel(const QVariantMap& information, QNetworkAccessManager& network,
                               int timeoutMs, QObject* parent)
    : QObject(parent)
    , m_network(network)
    , m_timeoutMs(timeoutMs)
    , m_currentVersion(installedVersion(information))
    , m_feedURL(::feedURL(information)) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { abortWith(QStringLiteral("피드를 받는 데 너무 오래 걸립니다")); });
}

AboutViewModel::~AboutViewModel() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

bool AboutViewModel::hasUpdate() const {
    return m_latestVersion &&
           Appcast::compare(*m_latestVersion, m_currentVersion) == Appcast::Order::descending;
}

void AboutViewModel::refresh() {
    if (!m_feedURL) {
        m_errorMessage = QStringLiteral("SUFeedURL 미설정");
        emit changed();
        return;
    }
    if (m_loading)
        return;
    m_loading = true;
    m_errorMessage.reset();
    m_body.clear();
    m_redirects = 0;
    m_abortReason.clear();
    emit changed();

    get(*m_feedURL);
}

void AboutViewModel::get(const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(m_timeoutMs);
    // Redirects are followed here, one request each, so that each can be looked at: a few, and
    // never from https to http. (Qt 6.4's own user-verified policy sends the next request on
    // every open connection.)
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    m_reply = m_network.get(request);
    if (!m_deadline.isActive())
        m_deadline.start(6 * m_timeoutMs);
    QNetworkReply* reply = m_reply;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        m_body += reply->read(kMaxFeedBytes + 1 - m_body.size());
        if (m_body.size() > kMaxFeedBytes)
            abortWith(QStringLiteral("피드가 너무 큽니다 (5 MB 초과)"));
    });
    connect(reply, &QNetworkReply::finished, this, &AboutViewModel::finished);
}

std::optional<QString> AboutViewModel::refusedRedirect(const QUrl& from, const QUrl& to, int hop) {
    if (hop > kMaxRedirects)
        return QStringLiteral("리디렉션이 너무 많습니다");
    if (from.scheme() == u"https" && to.scheme() != u"https")
        return QStringLiteral("https에서 http로 넘기는 리디렉션은 따르지 않습니다");
    if (to.scheme() != u"https" && to.scheme() != u"http")
        return QStringLiteral("http 밖으로 넘기는 리디렉션은 따르지 않습니다");
    return std::nullopt;
}

std::optional<QString> AboutViewModel::followRedirect(QNetworkReply* reply) {
    const QVariant target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (!target.isValid())
        return std::nullopt;
    const QUrl from = reply->url();
    const QUrl to = from.resolved(target.toUrl());
    if (const std::optional<QString> refused = refusedRedirect(from, to, ++m_redirects))
        return refused;
    m_body.clear();
    get(to);
    return QString();
}

void AboutViewModel::abortWith(const QString& message) {
    if (!m_reply)
        return;
    m_abortReason = message;
    m_reply->abort();
}

void AboutViewModel::finished() {
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    if (m_abortReason.isEmpty() && reply->error() == QNetworkReply::NoError) {
        if (const std::optional<QString> redirect = followRedirect(reply)) {
            if (!redirect->isEmpty())
                fail(*redirect);
            return;
        }
    }
    m_deadline.stop();
    if (!m_abortReason.isEmpty()) {
        fail(m_abortReason);
        return;
    }
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        // Qt cancels a transfer whose server stays silent past the transfer timeout.
        fail(QStringLiteral("서버가 응답하지 않습니다 (%1초)").arg(m_timeoutMs / 1000.0));
        return;
    }
    // The status is not examined: an error page is read like any body. Only a failed
    // transfer (no answer at all) is an error.
    if (isTransportFailure(reply->error())) {
        fail(reply->errorString());
        return;
    }
    m_body += reply->readAll();
    if (m_body.size() > kMaxFeedBytes) {
        fail(QStringLiteral("피드가 너무 큽니다 (5 MB 초과)"));
        return;
    }
    const Appcast::VersionRead read = Appcast::firstShortVersion(m_body);
    m_body.clear();
    m_latestVersion = read.version;
    if (!m_latestVersion)
        m_errorMessage =
            read.problem.isEmpty() ? QStringLiteral("appcast 파싱 실패") : read.problem;
    m_loading = false;
    emit changed();
}

void AboutViewModel::fail(const QString& message) {
    m_deadline.stop();
    m_body.clear();
    m_errorMessage = message;
    m_loading = false;
    emit changed();
}
