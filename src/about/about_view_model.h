#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// The about window's state: the installed version, the newest version the update feed names,
// and how the last check went. A check downloads the feed (bypassing caches) and reads the first
// version in it; every failure ends as a message, never as a dialog.
class AboutViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString currentVersion READ currentVersion CONSTANT)
    Q_PROPERTY(std::optional<QString> latestVersion READ latestVersion NOTIFY changed)
    Q_PROPERTY(bool loading READ loading NOTIFY changed)
    Q_PROPERTY(std::optional<QString> errorMessage READ errorMessage NOTIFY changed)
    Q_PROPERTY(bool hasUpdate READ hasUpdate NOTIFY changed)

public:
    // A feed larger than this is not read to its end.
    static constexpr qint64 kMaxFeedBytes = 5 * 1024 * 1024;
    static constexpr int kMaxRedirects = 5;
    static constexpr int kDefaultTimeoutMs = 10000;

    // `information` is the information dictionary; `timeoutMs` how long the server may stay
    // silent (and, times six, how long a whole download may take).
    AboutViewModel(const QVariantMap& information, QNetworkAccessManager& network,
                   int timeoutMs = kDefaultTimeoutMs, QObject* parent = nullptr);
    ~AboutViewModel() override;

    QString currentVersion() const { return m_currentVersion; }
    std::optional<QString> latestVersion() const { return m_latestVersion; }
    bool loading() const { return m_loading; }
    std::optional<QString> errorMessage() const { return m_errorMessage; }
    std::optional<QUrl> feedURL() const { return m_feedURL; }
    // The feed names a newer version than the installed one.
    bool hasUpdate() const;

    // One check of the feed. While one runs, another does nothing.
    void refresh();

    // Why the `hop`-th redirect from `from` to `to` is not followed; nothing when it is.
    static std::optional<QString> refusedRedirect(const QUrl& from, const QUrl& to, int hop);

signals:
    void changed();

private:
    void get(const QUrl& url);
    // When the reply is a redirect: follows it and gives an empty text, or gives why it is not
    // followed. Nothing when the reply is not a redirect.
    std::optional<QString> followRedirect(QNetworkReply* reply);
    void finished();
    void fail(const QString& message);
    void abortWith(const QString& message);

    QNetworkAccessManager& m_network;
    int m_timeoutMs;
    QString m_currentVersion;
    std::optional<QUrl> m_feedURL;
    std::optional<QString> m_latestVersion;
    std::optional<QString> m_errorMessage;
    bool m_loading = false;

    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    int m_redirects = 0;
    // Set when the download was stopped on purpose; the message shown instead of Qt's.
    QString m_abortReason;
    QTimer m_deadline;
};
