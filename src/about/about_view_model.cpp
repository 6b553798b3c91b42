#include "about/about_view_model.h"

#include "updates/appcast.h"
#include "updates/information_dictionary.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

AboutViewModel::AboutViewModel(const QVariantMap& information, QNetworkAccessManager& network,
                               int timeoutMs, QObject* parent)
    : QObject(parent)
    , m_download(network, timeoutMs, kMaxFeedBytes)
    , m_currentVersion(installedVersion(information))
    , m_feedURL(::feedURL(information)) {}

AboutViewModel::~AboutViewModel() = default;

bool AboutViewModel::hasUpdate() const {
    return m_latestVersion &&
           Appcast::compare(*m_latestVersion, m_currentVersion) == Appcast::Order::descending;
}

void AboutViewModel::refresh() {
    // A build without a feed leaves updates to the package manager: nothing to check.
    if (!m_feedURL)
        return;
    if (m_loading)
        return;
    m_loading = true;
    m_errorMessage.reset();
    emit changed();
    m_download.start(*m_feedURL, [this](const BoundedDownload::Result& result) {
        if (result.error.isEmpty()) {
            // A failed transfer leaves the version read before; a read feed replaces it.
            const Appcast::VersionRead read = Appcast::firstShortVersion(result.body);
            m_latestVersion = read.version;
            if (!m_latestVersion)
                m_errorMessage =
                    read.problem.isEmpty() ? QStringLiteral("appcast 파싱 실패") : read.problem;
        } else {
            m_errorMessage = result.error;
        }
        m_loading = false;
        emit changed();
    });
}
