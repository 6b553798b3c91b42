#include "updates/updater.h"

#include "platform/clock.h"
#include "platform/log.h"
#include "settings/setting_keys.h"
#include "updates/information_dictionary.h"

namespace Keys = SettingKeys;

Updater::Updater(KeyValueStore& store, const Clock& clock, QNetworkAccessManager& network,
                 const QVariantMap& information, std::function<bool(const QUrl&)> openUrl,
                 int timeoutMs, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_clock(clock)
    , m_download(network, timeoutMs, kMaxFeedBytes)
    , m_notes(network, timeoutMs, kMaxNotesBytes)
    , m_network(network)
    , m_timeoutMs(timeoutMs)
    , m_installed(installedVersion(information))
    , m_feed(feedURL(information))
    , m_openUrl(std::move(openUrl)) {
    m_schedule.setInterval(3600 * 1000);
    connect(&m_schedule, &QTimer::timeout, this, &Updater::checkIfDue);
}

std::optional<bool> Updater::automaticChecks() const {
    const std::optional<QString> stored = Keys::read(m_store, Keys::automaticUpdateChecks);
    if (stored == u"true")
        return true;
    if (stored == u"false")
        return false;
    return std::nullopt;
}

void Updater::setAutomaticChecks(bool enabled) {
    Keys::write(m_store, Keys::automaticUpdateChecks,
                enabled ? QStringLiteral("true") : QStringLiteral("false"));
    if (enabled) {
        m_schedule.start();
        checkIfDue();
    } else {
        m_schedule.stop();
    }
}

bool Updater::isCheckDue() const {
    const double last = Keys::read(m_store, Keys::lastUpdateCheck);
    const double now = double(m_clock.now().toSecsSinceEpoch());
    // A last check in the future means the clock was set back: check again.
    return last <= 0 || now - last >= kCheckIntervalSeconds || last > now + 3600;
}

void Updater::start() {
    // Without a feed there is nothing to check and nothing to ask.
    if (!m_feed)
        return;
    if (!Keys::read(m_store, Keys::hasLaunchedBefore)) {
        Keys::write(m_store, Keys::hasLaunchedBefore, true);
        return;
    }
    const std::optional<bool> automatic = automaticChecks();
    if (!automatic) {
        if (m_ui)
            m_ui->askAboutAutomaticChecks();
        return;
    }
    if (*automatic) {
        m_schedule.start();
        checkIfDue();
    }
}

void Updater::checkIfDue() {
    if (m_feed && automaticChecks().value_or(false) && isCheckDue())
        check(false);
}

void Updater::checkForUpdates() {
    if (!m_feed) {
        if (m_ui)
            m_ui->showFailure(
                QStringLiteral("이 Purrtick은 패키지 관리자가 업데이트를 관리합니다"));
        return;
    }
    check(true);
}

void Updater::check(bool userInitiated) {
    if (userInitiated) {
        m_userWaiting = true;
        if (m_ui)
            m_ui->showChecking();
    }
    // A check already running answers the user too.
    if (m_download.isRunning())
        return;
    m_download.start(*m_feed, [this](const BoundedDownload::Result& result) {
        checked(result, std::exchange(m_userWaiting, false));
    });
}

void Updater::checked(const BoundedDownload::Result& result, bool userInitiated) {
    QString problem = result.error;
    std::optional<Appcast::Item> item;
    if (problem.isEmpty()) {
        Keys::write(m_store, Keys::lastUpdateCheck, double(m_clock.now().toSecsSinceEpoch()));
        const Appcast::ItemRead read = Appcast::firstItem(result.body);
        item = read.item;
        if (!item)
            problem = read.problem.isEmpty() ? QStringLiteral("appcast 파싱 실패") : read.problem;
    }
    if (!item) {
        qCInfo(lcPurrtick, "업데이트 확인 실패: %s", qPrintable(problem));
        if (userInitiated && m_ui)
            m_ui->showFailure(problem);
        return;
    }
    const bool newer = Appcast::compare(item->version, m_installed) == Appcast::Order::descending;
    if (!newer) {
        if (userInitiated && m_ui)
            m_ui->showUpToDate(m_installed);
        return;
    }
    // A version the user skipped is offered again only when the user asks.
    if (!userInitiated && Keys::read(m_store, Keys::skippedVersion) == item->version)
        return;
    // Notes kept on a page of their own are fetched first; without them the update is still
    // offered.
    if (item->description.isEmpty() && item->releaseNotesLink.isValid()) {
        m_notes.start(item->releaseNotesLink,
                      [this, item = *item, userInitiated](const BoundedDownload::Result& notes) {
                          Appcast::Item withNotes = item;
                          if (notes.error.isEmpty())
                              withNotes.description = QString::fromUtf8(notes.body);
                          offer(withNotes, userInitiated);
                      });
        return;
    }
    offer(*item, userInitiated);
}

void Updater::offer(const Appcast::Item& item, bool userInitiated) {
    m_offered = item;
    if (m_ui)
        m_ui->showUpdate(item, m_installed, !userInitiated);
}

void Updater::skipVersion() {
    if (m_offered)
        Keys::write(m_store, Keys::skippedVersion, m_offered->version);
    if (m_ui)
        m_ui->closeUpdate();
}

void Updater::cancelInstall() {
    if (m_installer)
        m_installer->cancel();
    if (m_ui)
        m_ui->closeUpdate();
}

void Updater::restart() {
    if (m_relaunch)
        m_relaunch();
}

void Updater::remindLater() {
    if (m_ui)
        m_ui->closeUpdate();
}

void Updater::installInPlace(const QString& appImage, const QString& publicKey,
                             std::function<void()> relaunch) {
    m_installer = std::make_unique<AppImageInstaller>(m_network, appImage, publicKey, m_timeoutMs);
    m_installer->onProgress = [this](qint64 received, qint64 total) {
        if (m_ui)
            m_ui->showInstalling(received, total);
    };
    m_relaunch = std::move(relaunch);
}

void Updater::install() {
    if (!m_offered)
        return;
    if (m_installer) {
        if (m_installer->isRunning())
            return;
        if (m_ui)
            m_ui->showInstalling(0,
                                 m_offered->enclosureLength > 0 ? m_offered->enclosureLength : -1);
        m_installer->install(*m_offered, [this](const QString& problem) {
            if (!m_ui)
                return;
            if (problem.isEmpty())
                m_ui->showInstalled();
            else
                m_ui->showInstallFailure(problem);
        });
        return;
    }
    // The release's page first: it says how to install for each kind of copy.
    const QUrl target = m_offered->link.isValid() ? m_offered->link : m_offered->enclosureURL;
    if (!target.isValid()) {
        if (m_ui)
            m_ui->showInstallFailure(QStringLiteral("피드에 내려받을 주소가 없습니다"));
        return;
    }
    if (!m_openUrl || !m_openUrl(target)) {
        if (m_ui)
            m_ui->showInstallFailure(QStringLiteral("브라우저를 열 수 없습니다: ") +
                                     target.toString());
        return;
    }
    if (m_ui)
        m_ui->closeUpdate();
}
