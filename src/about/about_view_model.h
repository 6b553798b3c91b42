#pragma once

#include "platform/bounded_download.h"

#include <QObject>
#include <QUrl>
#include <QVariantMap>

#include <optional>

class QNetworkAccessManager;

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
    // A build without an update feed (a distribution's): its package manager updates it.
    bool updatesByPackageManager() const { return !m_feedURL; }
    // The feed names a newer version than the installed one.
    bool hasUpdate() const;

    // One check of the feed. While one runs, another does nothing.
    void refresh();

signals:
    void changed();

private:
    BoundedDownload m_download;
    QString m_currentVersion;
    std::optional<QUrl> m_feedURL;
    std::optional<QString> m_latestVersion;
    std::optional<QString> m_errorMessage;
    bool m_loading = false;
};
